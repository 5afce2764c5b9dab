// A file against the sum its package recorded: every state over a database
// made for the test, and running programs on the live system.

#include "platform/linux/package_verify_ops.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "linux/live_process.h"
#include "linux/run_command.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
using linux_test::TempDir;

constexpr char kHelloMd5[] = "5d41402abc4b2a76b9719d911017c592";  // md5sum of "hello"
constexpr std::uint64_t kNoLimit = UINT64_MAX;

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class PackageVerifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ok", "bad", "norecord", "stray", "upper"}) WriteFile(Program(name), "hello");
    const std::string info = root_.path().string() + "/var/lib/dpkg/info/";
    WriteFile(root_.path() / "var/lib/dpkg/status", "Package: tools\nMaintainer: T <t@example.org>\n");
    std::string list = "/.\n";
    for (const char* name : {"ok", "bad", "norecord", "missing", "upper"}) list += Program(name).string() + "\n";
    WriteFile(info + "tools:amd64.list", list);
    auto line = [](const std::string& sum, const fs::path& path) { return sum + "  " + path.string().substr(1) + "\n"; };
    WriteFile(info + "tools:amd64.md5sums",
              "not a line\n" + line(kHelloMd5, Program("ok")) +
                  line("00000000000000000000000000000000", Program("bad")) + line(kHelloMd5, Program("missing")) +
                  line("5D41402ABC4B2A76B9719D911017C592", Program("upper")));
  }
  fs::path Program(const std::string& name) const { return programs_.path() / ("prog-" + name); }
  FileCheck Check(const std::string& path, bool from_process = false, std::uint64_t limit = kNoLimit) {
    return ops_.CheckFile(path, from_process, limit);
  }

  TempDir root_, programs_;
  PackageCatalog catalog_{root_.path().string()};
  PackageVerifyOps ops_{catalog_};
};

TEST_F(PackageVerifyTest, EveryStateOfAFile) {
  struct Case {
    std::string path;
    bool from_process;
    std::uint64_t limit;
    const char* state;
    const char* package;
  };
  const Case cases[] = {
      {Program("ok"), false, kNoLimit, file_state::kMatches, "tools"},
      {Program("upper"), false, kNoLimit, file_state::kMatches, "tools"},
      {Program("bad"), false, kNoLimit, file_state::kDiffers, "tools"},
      {Program("norecord"), false, kNoLimit, file_state::kNoRecord, "tools"},
      {Program("stray"), false, kNoLimit, file_state::kNoPackage, ""},
      {Program("missing"), false, kNoLimit, file_state::kUnreadable, ""},
      {Program("ok").string() + " (deleted)", true, kNoLimit, file_state::kDeleted, ""},
      {Program("ok"), false, 4, file_state::kNotChecked, "tools"},
      {Program("ok"), false, 5, file_state::kMatches, "tools"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " limit " + std::to_string(c.limit));
    const FileCheck check = Check(c.path, c.from_process, c.limit);
    EXPECT_EQ(check.state, c.state);
    EXPECT_EQ(check.package, c.package);
  }
  // A file named so on purpose is checked as the file it is.
  WriteFile(Program("x (deleted)"), "hello");
  EXPECT_EQ(Check(Program("x (deleted)")).state, file_state::kNoPackage);
}

TEST(PackageVerifyLive, ARunningShellsProgramMatches) {
  PackageVerifyOps ops;
  const std::string shell = proclens::testing::RunCommand("sh -c 'readlink /proc/$$/exe'").out;
  ASSERT_FALSE(shell.empty());
  const FileCheck check = ops.CheckFile(shell.substr(0, shell.size() - 1), true, kNoLimit);
  EXPECT_EQ(check.state, file_state::kMatches);
  EXPECT_FALSE(check.package.empty());
}

TEST(PackageVerifyLive, AProgramDeletedWhileItRunsIsDeleted) {
  TempDir dir;
  const fs::path copy = linux_test::CopySleep(dir.path(), "doomed", 64 * 1024);
  linux_test::Child child(copy.string(), linux_test::SleepArgs("doomed"));
  fs::remove(copy);
  const fs::path exe = fs::read_symlink("/proc/" + std::to_string(child.pid()) + "/exe");
  PackageVerifyOps ops;
  EXPECT_EQ(ops.CheckFile(exe.string(), true, kNoLimit).state, file_state::kDeleted);
}

}  // namespace
}  // namespace proclens::linux_port
