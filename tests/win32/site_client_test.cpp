// The site client over WinInet and the Windows system facts, under Wine. The
// exchanges need the local test site: run through tests/site/with-test-site.sh,
// which names it in PROCLENS_TEST_SITE; without it those tests are skipped.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/win32/win32_site_ops.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/wininet_http_ops.h"
#include "siteclient/agent_string.h"
#include "siteclient/installation_id.h"
#include "siteclient/site_client.h"
#include "siteclient/url_helpers.h"
#include "fakes/fake_message_box.h"

namespace proclens::win32 {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// Wine shows the Unix file system as drive Z:.
std::string WinePath(const char* unix_path) {
  std::string path = std::string("Z:") + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

TEST(Win32SiteOpsTest, SystemFactsAsWineReportsThem) {
  Win32SiteOps ops;
  EXPECT_EQ(ops.VersionInfo().platform_id, kPlatformWin32Nt);
  EXPECT_GE(ops.VersionInfo().major, 5u);
  EXPECT_THAT(ProgramFileName(ops.ProgramPath()), StartsWith("proclens_win32_tests"));
  EXPECT_EQ(ops.LocaleInfo(0x0409, kLocaleEnglishLanguageName), "English");
  EXPECT_EQ(ops.LocaleInfo(0x0409, kLocaleEnglishCountryName), "United States");
  EXPECT_EQ(ops.LocaleInfo(0x0407, kLocaleEnglishLanguageName), "German");
  EXPECT_EQ(ops.LocaleInfo(0x0407, kLocaleEnglishCountryName), "Germany");
  EXPECT_FALSE(ops.VolumeSerial("Q:\\no-such-volume\\").has_value());
  EXPECT_TRUE(ops.VolumeSerial(VolumeRootOf(ops.ProgramPath())).has_value());
}

TEST(Win32SiteOpsTest, AgentStringOfTheNtFamily) {
  Win32SiteOps ops;
  Win32SystemInfo system;
  const std::string agent = ComposeAgentString(ops, system);
  EXPECT_THAT(agent, StartsWith(ProgramFileName(ops.ProgramPath()) + "/1 (Windows  NT "));
  EXPECT_THAT(agent, HasSubstr(LocaleDescription(ops, system) + ")"));
}


class WinInetSiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (base.empty()) GTEST_SKIP() << "PROCLENS_TEST_SITE is not set";
    client.ComposeAgentString();
  }

  std::string At(const std::string& path) const { return base + path; }

  std::string Log() const {
    std::ifstream in(WinePath(Environment("PROCLENS_TEST_SITE_LOG").c_str()));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  void SetReply(const std::string& bytes) {
    std::ofstream(WinePath(Environment("PROCLENS_TEST_SITE_REPLY").c_str()), std::ios::binary) << bytes;
  }

  std::string base = Environment("PROCLENS_TEST_SITE");
  WinInetHttpOps http;
  Win32SiteOps site;
  Win32SystemInfo system;
  fakes::FakeMessageBox messages;
  SiteClient client{SitePlatform{http, site, system}, messages, base, "ProcLens"};
};

TEST_F(WinInetSiteTest, OnlyAFinalStatus200Exists) {
  EXPECT_TRUE(client.UrlExists(At("process/bash.html")));
  EXPECT_FALSE(client.UrlExists(At("process/no-such-program.html")));
  EXPECT_TRUE(client.UrlExists(At("redirect/process/bash.html")));
  EXPECT_FALSE(client.UrlExists(At("status/204")));
  EXPECT_FALSE(client.UrlExists(At("status/500")));
  EXPECT_FALSE(client.UrlExists(At("drop")));
  EXPECT_THAT(Log(), HasSubstr("/process/bash.html\t" + client.AgentString() + "\n"));
}

TEST_F(WinInetSiteTest, FetchReadsWholeBodiesUpToTheLimit) {
  EXPECT_EQ(client.FetchUrlText(At("bytes/1024")), std::string(1024, 'x'));
  EXPECT_EQ(client.FetchUrlText(At("bytes/5000")), std::string(5000, 'x'));
  EXPECT_EQ(client.FetchUrlText(At("large")).size(), kHttpBodyLimit);
}

// Wine's WinInet neither hands the client's receive time-out to the requests of
// InternetOpenUrlA nor lets InternetCloseHandle end a call that is waiting, so
// the caller still waits for the late reply here; what Wine does show is that
// the watchdog closed the exchange: a reply after the bound does not count.
TEST_F(WinInetSiteTest, ReplyAfterTheBoundDoesNotCount) {
  EXPECT_FALSE(client.UrlExists(At("slow/11")));
  EXPECT_TRUE(client.UrlExists(At("process/bash.html")));  // the next exchange is not harmed
}

// The status line comes at once and the rest of the header a byte every 0.2 s,
// past the bound: no answer, however late the header ends.
TEST_F(WinInetSiteTest, StatusWithoutItsWholeHeaderIsNoAnswer) {
  EXPECT_FALSE(client.UrlExists(At("stalled-header")));
  EXPECT_TRUE(client.UrlExists(At("process/bash.html")));
}

TEST_F(WinInetSiteTest, ReportGoesOutOnceAndShowsAMarkedReply) {
  const std::string message = std::string(2000, 'm') + "\r\nend";
  SetReply("\xA7" + message);
  client.ReportFirstSelection();
  client.ReportFirstSelection();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, message);
  const std::string report_line =
      "/cgi/kestrel.pl?" + InstallationId(site, system) + "\t" + client.AgentString() + "\n";
  const std::string log = Log();
  EXPECT_THAT(log, HasSubstr(report_line));
  EXPECT_EQ(log.find(report_line), log.rfind(report_line));
}

}  // namespace
}  // namespace proclens::win32
