// The offline page's Linux operations on the live system: page files in the
// temporary folder, and the templates and pictures in the resource bundle.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "infopage/offline_page.h"
#include "infopage/text_replace.h"
#include "linux/support/version_test_support.h"
#include "platform/linux/linux_resource_ops.h"
#include "platform/linux/linux_page_file_ops.h"
#include "platform/resource_index.h"

namespace proclens::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string SourceTemplate(const std::string& name) {
  return ReadFile(TestsFolder() + "/../resources/res/RCDATA/" + name + ".html");
}

// Sets TMPDIR for one test and puts the old value back.
class TmpdirScope {
 public:
  explicit TmpdirScope(const char* value) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    value ? ::setenv("TMPDIR", value, 1) : ::unsetenv("TMPDIR");
  }
  ~TmpdirScope() { old_.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", old_.c_str(), 1); }

 private:
  std::string old_;
};

TEST(LinuxPageFileOps, TemporaryFolderIsTmpdirElseTmpWithItsSeparator) {
  linux_port::LinuxPageFileOps files;
  {
    TmpdirScope scope("/var/tmp");
    EXPECT_EQ(files.TemporaryFolder(), "/var/tmp/");
  }
  {
    TmpdirScope scope(nullptr);
    EXPECT_EQ(files.TemporaryFolder(), "/tmp/");
  }
}

TEST(LinuxPageFileOps, NewHtmFilesAreUniqueAndHoldExactlyWhatIsWritten) {
  char folder_template[] = "/tmp/proclens-page-test.XXXXXX";
  const std::string folder = std::string(::mkdtemp(folder_template)) + "/";
  linux_port::LinuxPageFileOps files;
  const auto first = files.CreateTemporaryFile(folder, "htm");
  const auto second = files.CreateTemporaryFile(folder, "htm");
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_TRUE(std::regex_match(*first, std::regex(folder + "htm[A-Za-z0-9]{6}\\.html")));
  EXPECT_EQ(ReadFile(*first), "");

  const std::string bytes("<p>\0\xFF</p>\r\n", 10);
  ASSERT_TRUE(files.WriteWholeFile(*first, bytes));
  EXPECT_EQ(ReadFile(*first), bytes);
  ASSERT_TRUE(files.WriteWholeFile(*first, "short"));
  EXPECT_EQ(ReadFile(*first), "short");  // replaced, not appended to
  std::filesystem::remove_all(folder);
}

TEST(LinuxPageFileOps, MissingFolderFailsWithTheSystemsReason) {
  linux_port::LinuxPageFileOps files;
  EXPECT_FALSE(files.CreateTemporaryFile("/nonexistent-proclens-folder/", "htm"));
  EXPECT_EQ(files.LastErrorText(), "No such file or directory");
  EXPECT_FALSE(files.WriteWholeFile("/nonexistent-proclens-folder/htm1.html", "x"));
  EXPECT_EQ(files.LastErrorText(), "No such file or directory");
}

TEST(LinuxPageFileOps, ProgramPathIsThisProgram) {
  linux_port::LinuxPageFileOps files;
  char link[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", link, sizeof link - 1), 0);
  EXPECT_EQ(files.ProgramPath(), link);
}

TEST(LinuxResourceOps, TemplatesAreTheStoredBytesFoundInAnyCase) {
  linux_port::LinuxResourceOps resources;
  const auto english = resources.LoadRcData("proc_en_html");
  const auto german = resources.LoadRcData("PROC_DE_HTML");
  ASSERT_TRUE(english && german);
  // The stored bytes but for one stretch, where the Windows folders become
  // Linux's, and the marks around the sentence that names the software.
  for (auto [bundled, name] : {std::pair(*english, "proc_en_html"), std::pair(*german, "proc_de_html")}) {
    const std::size_t start = bundled.find(kOriginSentenceStart);
    const std::size_t end = bundled.find(kOriginSentenceEnd);
    ASSERT_TRUE(start != std::string::npos && end != std::string::npos && start < end) << name;
    EXPECT_NE(bundled.substr(start, end - start).find("_company_"), std::string::npos) << name;
    bundled = ReplaceAllExact(ReplaceAllExact(bundled, kOriginSentenceStart, ""), kOriginSentenceEnd, "");
    const std::string source = SourceTemplate(name);
    const auto first = std::mismatch(source.begin(), source.end(), bundled.begin(), bundled.end());
    const auto last = std::mismatch(source.rbegin(), source.rend(), bundled.rbegin(), bundled.rend());
    const std::string theirs(first.first, last.first.base());
    const std::string ours(first.second, last.second.base());
    EXPECT_NE(theirs.find("Windows"), std::string::npos) << name;
    EXPECT_NE(ours.find("/usr/bin"), std::string::npos) << name;
    EXPECT_LT(ours.size(), 100u) << name;
    EXPECT_EQ(bundled.find("Windows"), std::string::npos) << name;
  }
  EXPECT_FALSE(resources.LoadRcData("proc_cn_html"));
  EXPECT_FALSE(resources.LoadRcData("awards"));  // a picture, not RCDATA
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(PageTemplates, HoldThePlaceholdersOnceEachAndTheFileFiveTimes) {
  for (const char* name : {"proc_en_html", "proc_de_html"}) {
    const std::string page = SourceTemplate(name);
    EXPECT_EQ(Count(page, "_file_"), 5u) << name;
    for (const char* once : {"_name_", "_product_", "_company_", "_desc_", "<base target=\"_blank\">"}) {
      EXPECT_EQ(Count(page, once), 1u) << name << " " << once;
    }
    EXPECT_EQ(Count(page, "_fileNoExt_"), 0u) << name;
    EXPECT_EQ(Count(page, "charset"), 0u) << name;
    EXPECT_EQ(Count(page, "\r"), 0u) << name;
  }
  EXPECT_NE(SourceTemplate("proc_de_html").find("geh\xC3\xB6rt zur Software"), std::string::npos);
}

// The named resources as the bundle holds them: every file under resources/res.
ResourceIndex SourceIndex() {
  ResourceIndex index;
  const std::filesystem::path root = TestsFolder() + "/../resources/res";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) index.Add("/res/" + entry.path().lexically_relative(root).string());
  }
  return index;
}

TEST(PageTemplates, EveryImageAddressOfTheBuiltPageIsAResourceOfTheProgram) {
  linux_port::LinuxResourceOps resources;
  linux_port::LinuxPageFileOps files;
  class NoVersions : public VersionOps {
    std::uint32_t GetFileVersionInfoSize(const std::string&, std::uint32_t&) override { return 0; }
    bool GetFileVersionInfo(const std::string&, std::uint32_t, std::uint32_t, std::uint8_t*) override {
      return false;
    }
    bool VerQueryValue(const std::uint8_t*, std::size_t, const std::string&, VersionValue&) override {
      return false;
    }
  } versions;
  const ResourceIndex index = SourceIndex();
  ProcessItem item;
  item.caption = "sleep";
  item.sub_items = {"/usr/bin/sleep"};
  for (std::uint16_t language : {0x0409, 0x0407}) {
    FixedLanguageSystem chosen(language);
    const std::string page =
        BuildOfflinePage(item, {versions, chosen, resources, files}, kTemplateSiteBase);
    EXPECT_EQ(page.find("/img/"), std::string::npos);
    const std::regex address("res://[^\"' )]+");
    std::set<std::string> seen;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), address); it != std::sregex_iterator();
         ++it) {
      EXPECT_NE(index.FindAddress(it->str()), nullptr) << it->str();
      seen.insert(it->str().substr(it->str().rfind('/', it->str().rfind('/') - 1)));
    }
    EXPECT_EQ(seen, (std::set<std::string>{"/GIF/AWARDS", "/GIF/files", "/GIF/home", "/GIF/software",
                                           "/GIF/space", "/JPG/BGmenu", "/JPG/BGmenutop",
                                           "/JPG/BGverlauf"}));
  }
}

TEST(PagePictures, HaveTheirFormatAndSize) {
  struct Picture {
    const char* path;
    const char* magic;
    int width;
    int height;
  };
  const Picture pictures[] = {
      {"GIF/awards.gif", "GIF89a", 192, 108}, {"GIF/download.gif", "GIF89a", 148, 59},
      {"GIF/files.gif", "GIF89a", 16, 16},    {"GIF/home.gif", "GIF89a", 16, 16},
      {"GIF/software.gif", "GIF89a", 16, 16}, {"GIF/space.gif", "GIF89a", 1, 1},
      {"JPG/bgmenu.jpg", "\xFF\xD8\xFF", 2, 35}, {"JPG/bgmenutop.jpg", "\xFF\xD8\xFF", 2, 35},
      {"JPG/bgverlauf.jpg", "\xFF\xD8\xFF", 1, 110}};
  for (const Picture& picture : pictures) {
    const std::string data = ReadFile(TestsFolder() + "/../resources/res/" + picture.path);
    ASSERT_GT(data.size(), 10u) << picture.path;
    const auto byte = [&data](std::size_t i) { return static_cast<unsigned char>(data[i]); };
    EXPECT_EQ(data.rfind(picture.magic, 0), 0u) << picture.path;
    if (data.rfind("GIF", 0) == 0) {
      EXPECT_EQ(byte(6) | byte(7) << 8, picture.width) << picture.path;
      EXPECT_EQ(byte(8) | byte(9) << 8, picture.height) << picture.path;
      continue;
    }
    // The frame header (SOF0 to SOF2) holds the height, then the width, big-endian.
    bool found = false;
    for (std::size_t i = 2; i + 8 < data.size() && !found; ++i) {
      if (byte(i) == 0xFF && byte(i + 1) >= 0xC0 && byte(i + 1) <= 0xC2) {
        EXPECT_EQ(byte(i + 5) << 8 | byte(i + 6), picture.height) << picture.path;
        EXPECT_EQ(byte(i + 7) << 8 | byte(i + 8), picture.width) << picture.path;
        found = true;
      }
    }
    EXPECT_TRUE(found) << picture.path;
  }
}

}  // namespace
}  // namespace proclens::testing
