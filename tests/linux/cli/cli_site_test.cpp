// proclens-cli agent, id, exists and fetch against the local test site.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "linux/support/run_command.h"
#include "linux/support/test_site_server.h"
#include "platform/linux/linux_site_ops.h"
#include "platform/linux/linux_system_info.h"
#include "siteclient/installation_id.h"

namespace proclens {
namespace {

// Arguments are test addresses and command names: nothing the shell would change.
testing::CommandOutput RunCli(const std::string& arguments) {
  const std::string command = std::string(PROCLENS_CLI_PATH) + " " + arguments + " 2>/dev/null";
  return testing::RunCommand(command);
}

class CliSiteTest : public ::testing::Test {
 protected:
  linux_test::TestSiteServer server;
};

TEST_F(CliSiteTest, AgentNamesTheCliTheKernelAndTheLocale) {
  const testing::CommandOutput agent = RunCli("agent");
  EXPECT_EQ(agent.status, 0);
  EXPECT_THAT(agent.out, ::testing::MatchesRegex(
                             "proclens-cli/1 \\(Linux [0-9]+\\.[0-9]+, [0-9A-F]{4} .*/.*\\)\n"));
}

TEST_F(CliSiteTest, IdIsTheInstallationIdentifierOfThisVolume) {
  // The test program and the CLI are built into the same tree, on one volume.
  linux_port::LinuxSiteOps site;
  linux_port::LinuxSystemInfo system;
  const testing::CommandOutput id = RunCli("id");
  EXPECT_EQ(id.status, 0);
  EXPECT_EQ(id.out, InstallationId(site, system) + "\n");
}

TEST_F(CliSiteTest, ExistsAnswersWithItsExitCode) {
  EXPECT_EQ(RunCli("exists " + server.Base() + "process/bash.html").status, 0);
  EXPECT_EQ(RunCli("exists " + server.Base() + "redirect/process/init.html").status, 0);
  EXPECT_EQ(RunCli("exists " + server.Base() + "process/unknown.html").status, 1);
  EXPECT_EQ(RunCli("exists " + server.Base() + "status/500").status, 1);
  const auto requests = server.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_THAT(requests[0].agent, ::testing::StartsWith("proclens-cli/1 (Linux "));
}

TEST_F(CliSiteTest, FetchWritesTheTextAsRead) {
  server.SetReportReply("\xA7" "line one\nline two");
  const testing::CommandOutput fetched = RunCli("fetch " + server.Base() + "cgi/kestrel.pl?91AN1");
  EXPECT_EQ(fetched.status, 0);
  EXPECT_EQ(fetched.out, "\xA7" "line one\nline two");
  EXPECT_EQ(RunCli("fetch " + server.Base() + "bytes/2048").out, std::string(2048, 'x'));
  EXPECT_EQ(RunCli("fetch").status, 2);
}

}  // namespace
}  // namespace proclens
