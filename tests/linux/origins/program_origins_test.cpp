// The chain of program sources: the first source that knows a file answers
// everything about it, and a file nothing installed has no package.

#include "platform/linux/origins/program_origins.h"

#include <gtest/gtest.h>

#include <set>

namespace proclens::linux_port {
namespace {

// A source that knows a fixed set of paths and counts how often it is asked.
class ListedSource : public ProgramOrigin {
 public:
  ListedSource(std::string name, std::set<std::string> paths, int* asked)
      : name_(std::move(name)), paths_(std::move(paths)), asked_(asked) {}

  std::optional<std::string> InstallerOf(const ProgramFile& file) override {
    ++*asked_;
    if (paths_.count(file.path) == 0) return std::nullopt;
    return name_;
  }
  OriginTexts Describe(const ProgramFile& file, bool german) override {
    return {file.path, name_, german ? "de" : "en"};
  }
  std::optional<std::string> ApplicationIcon(const ProgramFile&) override { return name_ + "-icon"; }
  FileCheck Check(const ProgramFile&, int image, std::uint64_t) override {
    FileCheck check;
    check.state = image == 7 ? file_state::kMatches : file_state::kDiffers;
    check.package = name_;
    return check;
  }

 private:
  std::string name_;
  std::set<std::string> paths_;
  int* asked_;
};

TEST(ProgramOrigins, TheFirstSourceThatKnowsAFileAnswersForIt) {
  int asked_first = 0, asked_second = 0;
  std::vector<std::unique_ptr<ProgramOrigin>> sources;
  sources.push_back(std::make_unique<ListedSource>("dpkg", std::set<std::string>{"/both", "/deb"}, &asked_first));
  sources.push_back(std::make_unique<ListedSource>("rpm", std::set<std::string>{"/both", "/rpm"}, &asked_second));
  ProgramOrigins origins(std::move(sources));

  struct Case {
    const char* path;
    const char* product;  // nullptr: nothing installed it
  };
  for (const Case& c : {Case{"/both", "dpkg"}, Case{"/rpm", "rpm"}, Case{"/deb", "dpkg"}, Case{"/none", nullptr}}) {
    SCOPED_TRACE(c.path);
    const ProgramFile file{c.path, 0};
    const auto texts = origins.Describe(file, true);
    const FileCheck check = origins.Check(file, 7, 0);
    if (c.product == nullptr) {
      EXPECT_FALSE(texts.has_value());
      EXPECT_EQ(origins.ApplicationIcon(file), std::nullopt);
      EXPECT_EQ(check.state, file_state::kNoPackage);
      continue;
    }
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->product, c.product);
    EXPECT_EQ(texts->company, "de");
    EXPECT_EQ(origins.ApplicationIcon(file), std::string(c.product) + "-icon");
    EXPECT_EQ(check.state, file_state::kMatches);  // the descriptor reaches the source
    EXPECT_EQ(check.package, c.product);
  }
  // Texts, icon and check of one file ask the sources once; the second
  // source is never asked about a file that the first knows.
  EXPECT_EQ(asked_first, 4);
  EXPECT_EQ(asked_second, 2);
  origins.Describe({"/both", 42}, false);  // another process is another question
  EXPECT_EQ(asked_first, 5);
}

}  // namespace
}  // namespace proclens::linux_port
