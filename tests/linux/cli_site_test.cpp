// proclens-cli agent, id, exists and fetch against the local test site.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "linux/test_site_server.h"
#include "platform/linux/linux_site_ops.h"
#include "platform/linux/linux_system_info.h"
#include "siteclient/installation_id.h"

namespace proclens {
namespace {

struct CliResult {
  int exit_code = -1;
  std::string out;
};

// Arguments are test addresses and command names: nothing the shell would change.
CliResult RunCli(const std::string& arguments) {
  CliResult result;
  const std::string command = std::string(PROCLENS_CLI_PATH) + " " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  const int status = ::pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class CliSiteTest : public ::testing::Test {
 protected:
  linux_test::TestSiteServer server;
};

TEST_F(CliSiteTest, AgentNamesTheCliTheKernelAndTheLocale) {
  const CliResult agent = RunCli("agent");
  EXPECT_EQ(agent.exit_code, 0);
  EXPECT_THAT(agent.out, ::testing::MatchesRegex(
                             "proclens-cli/1 \\(Linux [0-9]+\\.[0-9]+, [0-9A-F]{4} .*/.*\\)\n"));
}

TEST_F(CliSiteTest, IdIsTheInstallationIdentifierOfThisVolume) {
  // The test program and the CLI are built into the same tree, on one volume.
  linux_port::LinuxSiteOps site;
  linux_port::LinuxSystemInfo system;
  const CliResult id = RunCli("id");
  EXPECT_EQ(id.exit_code, 0);
  EXPECT_EQ(id.out, InstallationId(site, system) + "\n");
}

TEST_F(CliSiteTest, ExistsAnswersWithItsExitCode) {
  EXPECT_EQ(RunCli("exists " + server.Base() + "process/bash.html").exit_code, 0);
  EXPECT_EQ(RunCli("exists " + server.Base() + "redirect/process/init.html").exit_code, 0);
  EXPECT_EQ(RunCli("exists " + server.Base() + "process/unknown.html").exit_code, 1);
  EXPECT_EQ(RunCli("exists " + server.Base() + "status/500").exit_code, 1);
  const auto requests = server.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_THAT(requests[0].agent, ::testing::StartsWith("proclens-cli/1 (Linux "));
}

TEST_F(CliSiteTest, FetchWritesTheTextAsRead) {
  server.SetReportReply("\xA7" "line one\nline two");
  const CliResult fetched = RunCli("fetch " + server.Base() + "cgi/kestrel.pl?91AN1");
  EXPECT_EQ(fetched.exit_code, 0);
  EXPECT_EQ(fetched.out, "\xA7" "line one\nline two");
  EXPECT_EQ(RunCli("fetch " + server.Base() + "bytes/2048").out, std::string(2048, 'x'));
  EXPECT_EQ(RunCli("fetch").exit_code, 2);
}

}  // namespace
}  // namespace proclens
