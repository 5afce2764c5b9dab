// The command-line conventions of both Linux programs, as GNU tools keep them:
// help and version on standard output with status 0; a word that is not
// understood named in one line on standard error, with status 2.

#include <gtest/gtest.h>

#include <string>

#include "linux/support/run_command.h"
#include "proclens_version.h"

namespace proclens::testing {
namespace {

struct Answer {
  int status = -1;
  std::string out;
  std::string err;
};

// Arguments are fixed words of the tests: nothing the shell would change.
Answer RunProgram(const std::string& program, const std::string& arguments) {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + program + " " + arguments;
  const CommandOutput out = RunCommand(command + " 2>/dev/null");
  const CommandOutput err = RunCommand(command + " 2>&1 >/dev/null");
  return {out.status, out.out, err.out};
}

const std::string kCli = PROCLENS_CLI_PATH;
const std::string kWindow = PROCLENS_WINDOW_PATH;

TEST(CommandLineConventions, HelpAndVersionGoToStandardOutput) {
  const struct {
    std::string program, arguments, begins;
  } cases[] = {
      {kCli, "--help", "usage: proclens-cli COMMAND"},
      {kCli, "help", "usage: proclens-cli COMMAND"},
      {kCli, "help list", "usage: proclens-cli list [--json] [--verify]\n"},
      {kCli, "verify /bin/sh --help", "usage: proclens-cli verify [--json] PID|FILE...\n"},
      {kCli, "--version", "proclens-cli (ProcLens) " PROCLENS_VERSION "\n"},
      {kWindow, "--help", "usage: proclens [--help | --version]\n"},
      {kWindow, "--version", "proclens (ProcLens) " PROCLENS_VERSION "\n"},
  };
  for (const auto& c : cases) {
    const Answer answer = RunProgram(c.program, c.arguments);
    EXPECT_EQ(answer.status, 0) << c.arguments;
    EXPECT_EQ(answer.out.substr(0, c.begins.size()), c.begins) << c.arguments;
    EXPECT_EQ(answer.err, "") << c.arguments;
  }
}

TEST(CommandLineConventions, EveryCommandRefusesAWordItDoesNotKnowInOneLine) {
  const struct {
    std::string program, arguments, named;
  } cases[] = {
      {kCli, "", "missing command"},
      {kCli, "frobnicate", "'frobnicate'"},
      {kCli, "--frobnicate", "'--frobnicate'"},
      {kCli, "help frobnicate", "'frobnicate'"},
      {kCli, "list --bogus", "'--bogus'"},
      {kCli, "id surplus", "'surplus'"},
      {kCli, "fetch", "URL"},
      {kWindow, "--bogus", "'--bogus'"},
      {kWindow, "surplus", "'surplus'"},
  };
  // One of each kind per program; the reader's own rules are tested from its words.
  for (const auto& c : cases) {
    const Answer answer = RunProgram(c.program, c.arguments);
    EXPECT_EQ(answer.status, 2) << c.arguments;
    EXPECT_EQ(answer.out, "") << c.arguments;
    EXPECT_NE(answer.err.find(c.named), std::string::npos) << c.arguments << ": " << answer.err;
    EXPECT_EQ(answer.err.find('\n'), answer.err.size() - 1) << c.arguments << ": " << answer.err;
  }
}

}  // namespace
}  // namespace proclens::testing
