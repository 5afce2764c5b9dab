// proclens-cli list, run as the user would run it.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "linux/support/live_process.h"

namespace {

struct CliRun {
  pid_t pid = -1;
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string Drain(int fd) {
  std::string text;
  char buffer[8192];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(got));
  ::close(fd);
  return text;
}

// Runs the built program; stderr goes to a file so that neither pipe can fill up.
CliRun RunCli(const std::vector<std::string>& args) {
  CliRun run;
  int out_pipe[2];
  if (::pipe(out_pipe) != 0) return run;
  FILE* err_file = ::tmpfile();
  run.pid = ::fork();
  if (run.pid == 0) {
    ::dup2(out_pipe[1], STDOUT_FILENO);
    ::dup2(::fileno(err_file), STDERR_FILENO);
    ::close(out_pipe[0]);
    ::close(out_pipe[1]);
    std::vector<char*> argv{const_cast<char*>(PROCLENS_CLI_PATH)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(PROCLENS_CLI_PATH, argv.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  run.out = Drain(out_pipe[0]);
  int status = 0;
  ::waitpid(run.pid, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::rewind(err_file);
  run.err = Drain(::dup(::fileno(err_file)));
  std::fclose(err_file);
  return run;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const auto tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

TEST(CliListTest, TableHasFiveFieldsPerLineAndListsTheCliItself) {
  const CliRun run = RunCli({"list"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::istringstream lines(run.out);
  int count = 0;
  bool found_self = false;
  for (std::string line; std::getline(lines, line); ++count) {
    const auto fields = SplitFields(line);
    ASSERT_EQ(fields.size(), 5u) << line;
    EXPECT_EQ(std::to_string(std::stoul(fields[0])), fields[0]) << line;
    EXPECT_EQ(std::to_string(std::stoi(fields[4])), fields[4]) << line;
    EXPECT_FALSE(fields[2].empty()) << line;
    if (fields[0] == std::to_string(run.pid)) {
      found_self = true;
      EXPECT_EQ(fields[1], "proclens-cli");
      char real[4096];
      ASSERT_NE(::realpath(PROCLENS_CLI_PATH, real), nullptr);
      EXPECT_EQ(fields[2], real);
      EXPECT_NE(fields[3].find(" byte"), std::string::npos) << line;
    }
  }
  EXPECT_GT(count, 1);
  EXPECT_TRUE(found_self) << run.out;
}

TEST(CliListTest, JsonIsAnArrayOfItemsAndListsTheCliItself) {
  const CliRun run = RunCli({"list", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const auto list = nlohmann::json::parse(run.out);
  ASSERT_TRUE(list.is_array());
  ASSERT_GT(list.size(), 1u);
  bool found_self = false;
  const passwd* account = ::getpwuid(::geteuid());
  ASSERT_NE(account, nullptr);
  for (const auto& item : list) {
    ASSERT_TRUE(item.is_object());
    EXPECT_TRUE(item.at("pid").is_number_unsigned());
    EXPECT_TRUE(item.at("caption").is_string());
    EXPECT_TRUE(item.at("path").is_string());
    EXPECT_TRUE(item.at("size_text").is_string());
    EXPECT_TRUE(item.at("image").is_number_integer());
    // Why each process runs, where it is known; no container on this host's own.
    for (const auto& [key, value] : item.items()) {
      EXPECT_TRUE(std::set<std::string>({"pid", "caption", "path", "size_text", "image", "unit", "parent", "user",
                                         "container"})
                      .count(key))
          << key;
    }
    if (item.at("pid") == run.pid) {
      found_self = true;
      EXPECT_EQ(item.at("caption"), "proclens-cli");
      EXPECT_EQ(item.at("parent").at("pid"), ::getpid());
      EXPECT_FALSE(item.at("parent").at("name").get<std::string>().empty());
      EXPECT_EQ(item.at("user"), account->pw_name);
      EXPECT_FALSE(item.contains("container"));
    }
  }
  EXPECT_TRUE(found_self);
}

TEST(CliListTest, NameThatIsNotUtf8StillGivesJson) {
  proclens::linux_test::TempDir dir;
  const auto program = proclens::linux_test::CopySleep(dir.path(), "bad-\xff-name", 50000);
  proclens::linux_test::Child child(program.string(), proclens::linux_test::SleepArgs("x"));
  const CliRun run = RunCli({"list", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  bool found = false;
  for (const auto& item : nlohmann::json::parse(run.out)) {
    if (item.at("pid") != child.pid()) continue;
    found = true;
    EXPECT_EQ(item.at("caption"), "bad-\xEF\xBF\xBD-name");  // U+FFFD in place of the byte
  }
  EXPECT_TRUE(found);
}

// A process picks its own name and file name: the text table must not hand
// their control characters (ESC, BEL, DEL, C1's CSI) to the reader's terminal.
TEST(CliListTest, ControlCharactersInNamesAndPathsAreWrittenVisibly) {
  proclens::linux_test::TempDir dir;
  const std::string name = "e\x1b]0;t\x07\xc2\x9b" "2J\x7f";
  const std::string shown = "e\\x1b]0;t\\x07\\u009b2J\\x7f";
  const auto program = proclens::linux_test::CopySleep(dir.path(), name, 50000);
  proclens::linux_test::Child child(program.string(), proclens::linux_test::SleepArgs(program.string()));
  struct Case {
    std::vector<std::string> args;
    std::string line_start;
  };
  for (const Case& c : std::vector<Case>{{{"list"}, std::to_string(child.pid()) + "\t" + shown + "\t"},
                                         {{"verify", program.string()}, dir.path().string() + "/" + shown + "\t"}}) {
    const CliRun run = RunCli(c.args);
    std::istringstream lines(run.out);
    bool found = false;
    for (std::string line; std::getline(lines, line);) {
      EXPECT_EQ(line.find_first_of("\x1b\x07\x7f"), std::string::npos) << line;
      EXPECT_EQ(line.find("\xc2\x9b"), std::string::npos) << line;
      if (line.rfind(c.line_start, 0) == 0) found = true;
    }
    EXPECT_TRUE(found) << c.args[0] << ":\n" << run.out;
  }
}

TEST(CliListTest, UnknownOptionFailsWithAMessage) {
  const CliRun run = RunCli({"list", "--bogus"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("--bogus"), std::string::npos) << run.err;
}

}  // namespace
