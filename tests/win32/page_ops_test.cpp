// The offline page's Win32 operations under Wine: the program's path, page
// files in the temporary folder, and the templates inside proclens.exe.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_page_file_ops.h"
#include "platform/win32/win32_resource_ops.h"

namespace proclens::win32 {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Win32PageFileOps, ProgramPathIsThisProgram) {
  Win32PageFileOps files;
  const std::string path = files.ProgramPath();
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  EXPECT_NE(lower.find("proclens_win32_tests.exe"), std::string::npos) << path;
  EXPECT_EQ(path[1], ':');
}

TEST(Win32PageFileOps, NewHtmFilesAreUniqueAndHoldExactlyWhatIsWritten) {
  Win32PageFileOps files;
  const auto folder = files.TemporaryFolder();
  ASSERT_TRUE(folder);
  ASSERT_EQ(folder->back(), '\\');
  const auto first = files.CreateTemporaryFile(*folder, "htm");
  const auto second = files.CreateTemporaryFile(*folder, "htm");
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(first->rfind(*folder + "htm", 0), 0u) << *first;
  EXPECT_EQ(ReadFile(*first), "");

  // Binary: the line feeds of the page stay line feeds, the CR LF stays one.
  const std::string bytes("<p>\n\0\xFC</p>\r\n", 11);
  ASSERT_TRUE(files.WriteWholeFile(*first, bytes));
  EXPECT_EQ(ReadFile(*first), bytes);
  ASSERT_TRUE(files.WriteWholeFile(*first, "short"));
  EXPECT_EQ(ReadFile(*first), "short");
  DeleteFileA(first->c_str());
  DeleteFileA(second->c_str());
}

TEST(Win32PageFileOps, MissingFolderFailsWithTheSystemsText) {
  Win32PageFileOps files;
  EXPECT_FALSE(files.CreateTemporaryFile("C:\\no-such-proclens-folder\\", "htm"));
  EXPECT_FALSE(files.LastErrorText().empty());
  EXPECT_FALSE(files.WriteWholeFile("C:\\no-such-proclens-folder\\htm1.tmp", "x"));
  const std::string text = files.LastErrorText();
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n');
}

#ifdef PROCLENS_PROGRAM_PATH
// The build passes the program's path in the host's form; Wine shows the
// host's root as drive Z:.
std::string ProgramPath() {
  std::string path = "Z:" PROCLENS_PROGRAM_PATH;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST(Win32ResourceOps, TemplatesAreInTheProgramInItsNarrowEncoding) {
  HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  Win32ResourceOps resources(program);
  const auto english = resources.LoadRcData("proc_en_html");
  const auto german = resources.LoadRcData("PROC_DE_HTML");
  ASSERT_TRUE(english && german);
  EXPECT_EQ(english->rfind("<html>\n", 0), 0u);
  EXPECT_EQ(english->substr(english->size() - 8), "</html>\n");  // all of it, nothing added
  EXPECT_NE(german->find("Der Proze\xDF <B>_name_</B> geh\xF6rt zur Software"), std::string::npos);
  EXPECT_EQ(german->find("\xC3"), std::string::npos);  // no UTF-8 left
  EXPECT_FALSE(resources.LoadRcData("proc_cn_html"));
  EXPECT_FALSE(resources.LoadRcData("AWARDS"));  // a GIF, not RCDATA
  FreeLibrary(program);
}
#endif

}  // namespace
}  // namespace proclens::win32
