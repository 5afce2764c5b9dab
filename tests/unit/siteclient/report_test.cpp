#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "siteclient/site_client.h"
#include "unit/siteclient/site_fakes.h"

namespace proclens {
namespace {

using site_fakes::FakeHttp;
using site_fakes::FakeMessageBox;
using site_fakes::FakeReply;
using site_fakes::FakeSiteSystem;
using ::testing::ElementsAre;

constexpr char kBase[] = "http://site.test/";
constexpr char kReportAddress[] = "http://site.test/cgi/kestrel.pl?91AN1";
constexpr char kTitle[] = "ProcLens";

class ReportTest : public ::testing::Test {
 protected:
  ReportTest() : client(SitePlatform{http, system, system}, messages, kBase, kTitle) {
    system.volume_serials["C:\\"] = 0x1234ABCD;
    system.locale_names = {{kLocaleEnglishLanguageName, "English"},
                           {kLocaleEnglishCountryName, "United States"}};
    client.ComposeAgentString();
  }

  void Reply(std::vector<std::optional<std::string>> chunks) {
    http.replies[kReportAddress] = FakeReply{true, 200, std::move(chunks)};
  }

  FakeSiteSystem system;
  FakeHttp http;
  FakeMessageBox messages;
  SiteClient client;
};

TEST_F(ReportTest, SentOncePerRunWithTheIdentifierAndTheAgent) {
  Reply({std::string("OK")});
  EXPECT_TRUE(client.ReportPending());
  client.ReportFirstSelection();
  client.ReportFirstSelection();
  EXPECT_FALSE(client.ReportPending());
  EXPECT_THAT(http.log.addresses, ElementsAre(kReportAddress));
  EXPECT_THAT(http.log.agents, ElementsAre("viewer.exe/1 (Windows  NT 5.1, 0409 English/United States)"));
  EXPECT_THAT(http.log.flags, ElementsAre(kInternetFlagExistingConnect));
}

TEST_F(ReportTest, FlagIsClearedBeforeTheRequest) {
  bool pending_during_request = true;
  http.on_open = [&] { pending_during_request = client.ReportPending(); };
  client.ReportFirstSelection();  // the site cannot be reached
  EXPECT_FALSE(pending_during_request);
  client.ReportFirstSelection();
  EXPECT_EQ(http.log.addresses.size(), 1u);  // a failed report is not retried
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ReportTest, MarkedReplyShowsTheRestWhole) {
  const std::string long_message = std::string(1500, 'm') + "\r\nsecond line";
  Reply({"\xA7" + long_message.substr(0, 1023), long_message.substr(1023)});
  client.ReportFirstSelection();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, kTitle);
  EXPECT_EQ(messages.shown[0].text, long_message);
}

TEST_F(ReportTest, MarkAloneShowsAnEmptyBox) {
  Reply({std::string("\xA7")});
  client.ReportFirstSelection();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "");
}

TEST_F(ReportTest, UnmarkedRepliesShowNothing) {
  for (const char* reply : {"OK", "ok", "", "hello \xA7", " \xA7x"}) {
    FakeHttp fresh_http;
    FakeMessageBox fresh_messages;
    SiteClient fresh(SitePlatform{fresh_http, system, system}, fresh_messages, kBase, kTitle);
    fresh_http.replies[kReportAddress] = FakeReply{true, 200, {std::string(reply)}};
    fresh.ReportFirstSelection();
    EXPECT_EQ(fresh_http.log.addresses.size(), 1u) << reply;
    EXPECT_TRUE(fresh_messages.shown.empty()) << reply;
  }
}

TEST_F(ReportTest, IdentifierFollowsTheLanguageAndVolume) {
  system.lang_id = 0x0407;
  system.volume_serials.clear();
  client.ReportFirstSelection();
  EXPECT_THAT(http.log.addresses, ElementsAre("http://site.test/cgi/kestrel.pl?7100E"));
}

TEST_F(ReportTest, AgentIsComposedOnceAndUsedByBothHelpers) {
  const std::string composed = client.AgentString();
  system.version.major = 6;  // later changes do not reach the agent
  http.replies["http://site.test/p"] = FakeReply{true, 200, {}};
  EXPECT_TRUE(client.UrlExists("http://site.test/p"));
  (void)client.FetchUrlText("http://site.test/p");
  EXPECT_THAT(http.log.agents, ElementsAre(composed, composed));
}

}  // namespace
}  // namespace proclens
