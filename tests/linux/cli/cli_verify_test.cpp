// proclens-cli verify and list --verify, run as a script would run them.

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "linux/support/live_process.h"
#include "linux/support/run_command.h"

namespace proclens::testing {
namespace {

CommandOutput Cli(const std::string& args) {
  return RunCommand(std::string(PROCLENS_CLI_PATH) + " " + args + " 2>/dev/null");
}

// Whether the process's program path begins with start within five seconds.
bool RunsProgram(const std::string& pid, const std::string& start) {
  std::error_code error;
  for (int tries = 0; tries < 500; ++tries, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
    if (std::filesystem::read_symlink("/proc/" + pid + "/exe", error).string().starts_with(start)) return true;
  }
  return false;
}

// The English page that proclens-cli writes for the process, in dir.
std::string EnglishPage(const linux_test::TempDir& dir, const std::string& pid) {
  const CommandOutput page = RunCommand("env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C TMPDIR='" +
                                        dir.path().string() + "' " + PROCLENS_CLI_PATH + " page " + pid);
  EXPECT_EQ(page.status, 0);
  std::ostringstream text;
  text << std::ifstream(page.out.substr(0, page.out.size() - 1)).rdbuf();
  return text.str();
}

TEST(CliVerify, OneRecordPerArgumentAndSuccessOnlyWhenEveryFileIsTheInstalledOne) {
  // A process is checked as the file the catalogue resolves for it.
  const std::string own_program = std::filesystem::read_symlink("/proc/self/exe").string();
  const CommandOutput both = Cli("verify --json /usr/bin/bash " + std::to_string(::getpid()));
  EXPECT_EQ(both.status, 1);  // this test program belongs to no package
  const auto list = nlohmann::json::parse(both.out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], nlohmann::json({{"file", "/usr/bin/bash"}, {"state", "matches"}, {"package", "bash"}}));
  EXPECT_EQ(list[1]["state"], "no-package");
  EXPECT_EQ(list[1]["file"], own_program);

  const CommandOutput line = Cli("verify /usr/bin/bash");
  EXPECT_EQ(line.out, "/usr/bin/bash\tmatches\tbash\n");
  EXPECT_EQ(line.status, 0);
  EXPECT_EQ(Cli("verify").status, 2);
  EXPECT_EQ(Cli("verify --bogus /usr/bin/bash").status, 2);
}

TEST(CliVerify, ListGivesEveryItemItsState) {
  const auto list = nlohmann::json::parse(Cli("list --json --verify").out);
  ASSERT_FALSE(list.empty());
  bool own_found = false;
  for (const auto& item : list) {
    ASSERT_TRUE(item.contains("state")) << item.dump();
    if (item["pid"] == ::getpid()) own_found = item["state"] == "no-package";
  }
  EXPECT_TRUE(own_found);
}

// Anyone can run a program of their own under a packaged program's path: in a
// mount namespace of its own, a copy of sleep is bound over /usr/bin/ls and
// run. Outside, the kernel reports /usr/bin/ls for it; the bind mount and the
// namespace end with the process.
TEST(CliVerify, AProcessThatDoesNotRunTheFileItsPathNamesIsReplaced) {
  linux_test::TempDir dir;
  const std::string impostor = linux_test::CopySleep(dir.path(), "impostor", 64 * 1024).string();
  std::vector<std::string> unshare = {"unshare", "-m", "--propagation", "private"};
  if (::geteuid() != 0) unshare = {"unshare", "-Urm"};
  for (const char* word : {"sh", "-c", "mount --bind \"$0\" /usr/bin/ls && exec /usr/bin/ls 600"})
    unshare.emplace_back(word);
  unshare.push_back(impostor);
  linux_test::Child child("/usr/bin/unshare", unshare);
  const std::string pid = std::to_string(child.pid());
  ASSERT_TRUE(RunsProgram(pid, "/usr/bin/ls")) << "the namespaced program did not start";

  const CommandOutput verify = Cli("verify " + pid);
  EXPECT_EQ(verify.out, "/usr/bin/ls\treplaced\t\n");
  EXPECT_EQ(verify.status, 1);
  EXPECT_NE(EnglishPage(dir, pid).find("Caution: this process does not run the file that its path names."),
            std::string::npos);
}

// A program run from an anonymous memory file has no file on any disk: the
// list gives its image's size, verify and the page say where it runs from.
TEST(CliVerify, AProgramRunFromMemoryIsInMemory) {
  linux_test::TempDir dir;
  const std::string program = linux_test::CopySleep(dir.path(), "sleeper", 70000).string();
  linux_test::Child child("/usr/bin/python3",
                          {"python3", "-c",
                           "import os,sys\nfd = os.memfd_create('proclens test')\n"
                           "os.write(fd, open(sys.argv[1], 'rb').read())\nos.execve(fd, ['sleep', '600'], {})",
                           program});
  const std::string pid = std::to_string(child.pid());
  ASSERT_TRUE(RunsProgram(pid, "/memfd:")) << "the program did not start from memory";
  const CommandOutput listed = Cli("list");
  const std::size_t row = listed.out.find(pid + "\t");
  ASSERT_NE(row, std::string::npos);
  EXPECT_NE(listed.out.substr(row, listed.out.find('\n', row) - row).find("/memfd:proclens test (deleted)\t70\xC2\xB4" "000 byte"),
            std::string::npos)
      << listed.out.substr(row, 200);
  const CommandOutput verify = Cli("verify " + pid);
  EXPECT_EQ(verify.out, "/memfd:proclens test (deleted)\tin-memory\t\n");
  EXPECT_EQ(verify.status, 1);
  const std::string page = EnglishPage(dir, pid);
  EXPECT_NE(page.find("the process runs it from memory (proclens test)"), std::string::npos) << page;
}

}  // namespace
}  // namespace proclens::testing
