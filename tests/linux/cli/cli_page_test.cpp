// proclens-cli page, run as the user would run it.

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "linux/support/version_test_support.h"

namespace proclens::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class CliPageTest : public ::testing::Test {
 protected:
  CliPageTest() {
    char folder[] = "/tmp/proclens-cli-page.XXXXXX";
    folder_ = ::mkdtemp(folder);
  }
  ~CliPageTest() override { std::filesystem::remove_all(folder_); }

  // The command in English, with its own temporary folder and the default site.
  CommandOutput Page(const std::string& args, const std::string& tmpdir = "") {
    return RunCommand("env -u LC_ALL -u LC_MESSAGES -u LANGUAGE -u PROCLENS_SITE_BASE LANG=C TMPDIR='" +
                      (tmpdir.empty() ? folder_ : tmpdir) + "' " + PROCLENS_CLI_PATH + " page " +
                      args);
  }

  // The path the command printed, checked to lie in the temporary folder.
  std::string PrintedFile(const CommandOutput& run) {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind(folder_ + "/htm", 0), 0u) << run.out;
    EXPECT_EQ(run.out.substr(run.out.size() - 6), ".html\n");
    return run.out.substr(0, run.out.size() - 1);
  }

  std::string folder_;
};

TEST_F(CliPageTest, ForAProcessWritesThePageOfItsListItem) {
  const std::string page = ReadFile(PrintedFile(Page(std::to_string(::getpid()))));
  char self[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
  const std::string path = self;
  const std::string name = path.substr(path.rfind('/') + 1);
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  EXPECT_NE(page.find("<title>proclens.example - " + name + "</title>"), std::string::npos);
  EXPECT_NE(page.find(" " + name + " is located in folder " + folder + "."), std::string::npos);
  EXPECT_NE(page.find("res://"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 10), "</html>\n\r\n");  // the template ends in a line feed
}

TEST_F(CliPageTest, ForAFileWritesThePageOfAnItemWithThatPath) {
  const std::string file = folder_ + "/a <b> & \"c\".exe";
  std::ofstream(file) << "not a program";
  const std::string first = PrintedFile(Page("'" + file + "'"));
  const std::string second = PrintedFile(Page("'" + file + "'"));
  EXPECT_NE(first, second);
  const std::string page = ReadFile(first);
  EXPECT_EQ(page, ReadFile(second));
  EXPECT_NE(page.find("<title>proclens.example - a &lt;b&gt; &amp; &quot;c&quot;.exe</title>"),
            std::string::npos);
  // Nothing installed it and it names no software: the page says so rather than "unknown".
  EXPECT_NE(page.find("No package system installed the program of the process <B>a &lt;b&gt; &amp; &quot;c&quot;.exe</B>"),
            std::string::npos);
  EXPECT_EQ(page.find("<B>unknown</B>"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
}

TEST_F(CliPageTest, GermanPageIsUtf8) {
  // A file of no package: neither a version resource nor a package names it.
  const std::string tool = folder_ + "/tool";
  ASSERT_EQ(std::system(("cp /bin/true '" + tool + "'").c_str()), 0);
  const CommandOutput run = RunCommand("env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=de_DE.UTF-8 TMPDIR='" +
                                       folder_ + "' " + PROCLENS_CLI_PATH + " page " + tool);
  const std::string page = ReadFile(PrintedFile(run));
  EXPECT_NE(page.find("Kein Paketsystem hat das Programm des Prozesses <B>tool</B> installiert"), std::string::npos);
  EXPECT_EQ(page.find("<B>unbekannt</B>"), std::string::npos);
  EXPECT_NE(page.find("tool befindet sich im Ordner " + folder_ + "/. Diese Datei geh\xC3\xB6rt zu keinem Paket."),
            std::string::npos);
}

TEST_F(CliPageTest, APackagedProgramsPageNamesItsSoftwareAndSaysItIsTheInstalledFile) {
  const CommandOutput run = RunCommand("env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C TMPDIR='" + folder_ + "' " +
                                       PROCLENS_CLI_PATH + " page /usr/bin/bash");
  const std::string page = ReadFile(PrintedFile(run));
  EXPECT_NE(page.find("The process <B>GNU Bourne Again SHell</B> belongs to the software <B>bash</B> by <B>"),
            std::string::npos);
  EXPECT_NE(page.find(" bash is located in folder /usr/bin/. This file is the one that package bash installed."),
            std::string::npos);
  EXPECT_EQ(page.find("Windows"), std::string::npos);
}

// The page's picture addresses, read as a browser reads them, name the program
// wherever it is installed: blanks, quotes, parentheses, backslashes, '#',
// '?', '%' and letters beyond ASCII in its folder, a ".gif" and a ".jpg" among them.
TEST_F(CliPageTest, EveryPictureAddressNamesTheProgramWhereverItLies) {
  const std::string folder = folder_ + "/Pro gram (x86)/\xC3\x9C" "ber 'q\" \\x\\u/c#/100%/why?/my.gifs/x.jpg.d";
  const std::string program = folder + "/proclens-cli";
  const auto quoted = [](const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
  };
  ASSERT_EQ(RunCommand("mkdir -p " + quoted(folder) + " && cp " + PROCLENS_CLI_PATH + " " + quoted(program)).status, 0);
  const CommandOutput run = RunCommand("env -u PROCLENS_SITE_BASE LANG=C TMPDIR='" + folder_ + "' " +
                                       quoted(program) + " page /bin/sh");
  const CommandOutput check = RunCommand(TestsFolder() + "/tools/page_addresses_check.py " +
                                         quoted(PrintedFile(run)) + " " + quoted(program) + " 2>&1");
  EXPECT_EQ(check.status, 0) << check.out;
}

TEST_F(CliPageTest, UnwritableTemporaryFolderFailsWithTheReason) {
  const CommandOutput run = Page("/bin/sh 2>&1", "/nonexistent-proclens-folder");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("/nonexistent-proclens-folder/"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("No such file or directory"), std::string::npos) << run.out;
}

TEST_F(CliPageTest, UnknownProcessOrNoArgumentFails) {
  EXPECT_EQ(Page("4294967295 2>/dev/null").status, 1);
  EXPECT_EQ(Page("2>/dev/null").status, 2);  // a usage error
}

}  // namespace
}  // namespace proclens::testing
