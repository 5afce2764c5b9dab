// The site client's exchanges through libcurl against the local test site.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "linux/support/test_site_server.h"
#include "platform/linux/linux_http_ops.h"
#include "platform/linux/linux_site_ops.h"
#include "platform/linux/linux_system_info.h"
#include "siteclient/installation_id.h"
#include "siteclient/site_client.h"
#include "siteclient/url_helpers.h"
#include "fakes/fake_message_box.h"

namespace proclens {
namespace {

using linux_test::TestSiteServer;
using ::testing::SizeIs;

// Far above the 8 s exchange bound, far below a hang.
constexpr auto kCorrectnessBound = std::chrono::seconds(12);

using fakes::FakeMessageBox;

class SiteLiveTest : public ::testing::Test {
 protected:
  SiteLiveTest() : client(SitePlatform{http, site, system}, messages, server.Base(), "ProcLens") {
    client.ComposeAgentString();
  }

  std::string At(const std::string& path) const { return server.Base() + path; }

  TestSiteServer server;
  linux_port::LinuxHttpOps http;
  linux_port::LinuxSiteOps site;
  linux_port::LinuxSystemInfo system;
  FakeMessageBox messages;
  SiteClient client;
};

TEST_F(SiteLiveTest, OnlyAFinalStatus200Exists) {
  EXPECT_TRUE(client.UrlExists(At("process/bash.html")));
  EXPECT_FALSE(client.UrlExists(At("process/no-such-program.html")));
  EXPECT_TRUE(client.UrlExists(At("redirect/process/bash.html")));
  EXPECT_FALSE(client.UrlExists(At("redirect/process/no-such-program.html")));
  EXPECT_FALSE(client.UrlExists(At("status/204")));
  EXPECT_FALSE(client.UrlExists(At("status/500")));
  EXPECT_FALSE(client.UrlExists(At("drop")));
  EXPECT_FALSE(client.UrlExists("http://127.0.0.1:1/process/bash.html"));  // refused
}

TEST_F(SiteLiveTest, EveryRequestCarriesTheAgent) {
  ASSERT_THAT(client.AgentString(), ::testing::StartsWith("proclens_linux_tests/1 (Linux "));
  (void)client.UrlExists(At("process/bash.html"));
  (void)client.FetchUrlText(At("bytes/3"));
  const auto requests = server.Requests();
  ASSERT_THAT(requests, SizeIs(2));
  for (const auto& request : requests) EXPECT_EQ(request.agent, client.AgentString());
}

TEST_F(SiteLiveTest, FetchReadsWholeBodiesAcrossReadBoundaries) {
  EXPECT_EQ(client.FetchUrlText(At("bytes/1024")), std::string(1024, 'x'));
  EXPECT_EQ(client.FetchUrlText(At("bytes/5000")), std::string(5000, 'x'));
  EXPECT_EQ(client.FetchUrlText(At("bytes/0")), "");
  EXPECT_EQ(client.FetchUrlText(At("drop")), "");
  EXPECT_EQ(client.FetchUrlText(At("status/500")), "status 500");
  const std::string with_zero("AAAA\0BBBB", 9);
  server.SetReportReply(with_zero);
  EXPECT_EQ(client.FetchUrlText(At("cgi/kestrel.pl?0")), with_zero);
}

TEST_F(SiteLiveTest, FetchStopsAtTheBodyLimit) {
  const std::string text = client.FetchUrlText(At("large"));
  EXPECT_EQ(text.size(), kHttpBodyLimit);
  EXPECT_EQ(text.find_first_not_of('L'), std::string::npos);
}

TEST_F(SiteLiveTest, SlowSitesAreCutOffInBoundedTime) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.UrlExists(At("slow")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kCorrectnessBound);

  start = std::chrono::steady_clock::now();
  const std::string trickled = client.FetchUrlText(At("slow-body"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kCorrectnessBound);
  EXPECT_FALSE(trickled.empty());  // what came before the cut is kept
  EXPECT_LT(trickled.size(), 30u);
}

// A status line whose headers then trickle in, a byte at a time, past the
// time-out is no answer: the offline page comes within the same bound.
TEST_F(SiteLiveTest, StatusWithoutItsWholeHeaderIsNoAnswer) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.UrlExists(At("stalled-header")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kCorrectnessBound);
}

// The status test stops after the reply's headers: a page whose body takes
// 30 s answers within the bound, not after the 8 s time-out of a whole read.
TEST_F(SiteLiveTest, StatusTestDoesNotWaitForTheBody) {
  constexpr auto kHeadersOnlyBound = std::chrono::seconds(4);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(client.UrlExists(At("slow-body")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kHeadersOnlyBound);
}

TEST_F(SiteLiveTest, ProxyFromTheEnvironmentIsUsed) {
  ::setenv("http_proxy", server.Base().c_str(), 1);
  ::setenv("no_proxy", "", 1);
  ::setenv("NO_PROXY", "", 1);
  const bool exists = client.UrlExists("http://proclens.example/process/bash.html");
  ::unsetenv("http_proxy");
  ::setenv("no_proxy", "127.0.0.1", 1);
  ::setenv("NO_PROXY", "127.0.0.1", 1);
  EXPECT_TRUE(exists);
  const auto requests = server.Requests();
  ASSERT_THAT(requests, SizeIs(1));
  EXPECT_EQ(requests[0].path, "http://proclens.example/process/bash.html");
}

TEST_F(SiteLiveTest, ReportGoesOutOnceWithTheIdentifier) {
  server.SetReportReply("OK");
  client.ReportFirstSelection();
  client.ReportFirstSelection();
  const auto requests = server.Requests();
  ASSERT_THAT(requests, SizeIs(1));
  EXPECT_EQ(requests[0].path, "/cgi/kestrel.pl?" + InstallationId(site, system));
  EXPECT_EQ(requests[0].agent, client.AgentString());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SiteLiveTest, MarkedReplyIsShownWhole) {
  const std::string message = std::string(3000, 'm') + "\r\nend";
  server.SetReportReply("\xA7" + message);
  client.ReportFirstSelection();
  ASSERT_THAT(messages.shown, SizeIs(1));
  EXPECT_EQ(messages.shown[0].text, message);
  EXPECT_EQ(messages.shown[0].caption, "ProcLens");
}

TEST_F(SiteLiveTest, OtherRepliesShowNothing) {
  for (const std::string reply : {"ok", "", "x\xA7"}) {
    FakeMessageBox shown;
    SiteClient fresh(SitePlatform{http, site, system}, shown, server.Base(), "ProcLens");
    server.SetReportReply(reply);
    fresh.ReportFirstSelection();
    EXPECT_TRUE(shown.shown.empty()) << reply;
  }
  EXPECT_THAT(server.Requests(), SizeIs(3));
}

}  // namespace
}  // namespace proclens
