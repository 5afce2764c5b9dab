// proclens-cli lookup: the click's decision against the local test site,
// without the run's report.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "linux/support/live_process.h"
#include "linux/support/run_command.h"
#include "linux/support/test_site_server.h"

namespace proclens {
namespace {

// The site base goes in through the environment, as the window takes it.
testing::CommandOutput Lookup(const std::string& site_base, const std::string& target) {
  const std::string command = "env PROCLENS_SITE_BASE='" + site_base + "' " + PROCLENS_CLI_PATH +
                              " lookup '" + target + "' 2>/dev/null";
  return testing::RunCommand(command);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// "offline PATH\n": the page file's path, which must exist.
std::string OfflinePath(const testing::CommandOutput& result) {
  const std::string prefix = "offline ";
  if (result.out.rfind(prefix, 0) != 0 || result.out.back() != '\n') return "";
  return result.out.substr(prefix.size(), result.out.size() - prefix.size() - 1);
}

class CliLookupTest : public ::testing::Test {
 protected:
  linux_test::TestSiteServer server;
};

TEST_F(CliLookupTest, KnownNameGivesTheOnlineAddressAndSendsNoReport) {
  const testing::CommandOutput result = Lookup(server.Base(), "/usr/bin/bash");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "online " + server.Base() + "process/bash.html\n");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].path, "/process/bash.html");
  EXPECT_THAT(requests[0].agent, ::testing::StartsWith("proclens-cli/1 ("));
}

TEST_F(CliLookupTest, UnknownNameGivesTheOfflinePageFile) {
  const testing::CommandOutput result = Lookup(server.Base(), "/usr/bin/true");
  EXPECT_EQ(result.status, 0);
  const std::string page = OfflinePath(result);
  ASSERT_FALSE(page.empty()) << result.out;
  EXPECT_TRUE(IsRegularFile(page));
  EXPECT_THAT(page, ::testing::HasSubstr("/htm"));
  ::unlink(page.c_str());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/process/true.html");
}

TEST_F(CliLookupTest, ProcessIdentifierIsLookedUpByItsListedName) {
  const testing::CommandOutput result = Lookup(server.Base(), std::to_string(::getpid()));
  EXPECT_EQ(result.status, 0);
  const std::string page = OfflinePath(result);
  ASSERT_FALSE(page.empty()) << result.out;
  ::unlink(page.c_str());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_THAT(server.Requests()[0].path, ::testing::StartsWith("/process/proclens_linux_"));
}

TEST_F(CliLookupTest, ABlankInTheNameReachesTheSitePercentEncoded) {
  linux_test::TempDir dir;
  const auto program = linux_test::CopySleep(dir.path(), "Web Content", 64 * 1024);
  linux_test::Child child(program.string(), linux_test::SleepArgs("Web Content"));
  const testing::CommandOutput result = Lookup(server.Base(), std::to_string(child.pid()));
  EXPECT_EQ(result.status, 0);
  ::unlink(OfflinePath(result).c_str());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].path, "/process/web%20content.html");
}

TEST(CliLookupOfflineTest, UnreachableSiteGivesTheOfflinePage) {
  // Port 1 on the loopback: the connection is refused at once.
  const testing::CommandOutput result = Lookup("http://127.0.0.1:1/", "/usr/bin/bash");
  EXPECT_EQ(result.status, 0);
  const std::string page = OfflinePath(result);
  ASSERT_FALSE(page.empty()) << result.out;
  ::unlink(page.c_str());
}

TEST(CliLookupOfflineTest, MissingProcessIsAnError) {
  const testing::CommandOutput result = Lookup("http://127.0.0.1:1/", "4294967295");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace proclens
