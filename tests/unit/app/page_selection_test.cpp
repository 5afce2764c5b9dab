// The click on a process and the title change that may follow: the decision
// table, the order of the click's steps, the two states of the title hook, the
// once-per-run report, and a title change handled while the report's message
// box is open.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/page_selection.h"
#include "unit/app/fake_controls.h"
#include "unit/siteclient/site_fakes.h"
#include "fakes/fake_message_box.h"

namespace proclens::fakes {
namespace {

using site_fakes::FakeHttp;
using site_fakes::FakeReply;
using site_fakes::FakeSiteSystem;

constexpr char kBase[] = "http://site.test/";
constexpr char kReportAddress[] = "http://site.test/cgi/kestrel.pl?9100G";

// Logs its navigations; refuses the addresses it is told to.
class LoggingBrowser : public WebBrowser {
 public:
  explicit LoggingBrowser(EventLog& log) : log_(log) {}
  std::vector<std::string> refused;
  std::vector<std::string> navigations;
  void Navigate(const std::string& address) override {
    log_.Add("navigate " + address);
    if (std::find(refused.begin(), refused.end(), address) != refused.end()) {
      throw std::runtime_error("refused");
    }
    navigations.push_back(address);
  }
  void Update() override {}

 private:
  EventLog& log_;
};


ProcessItem Process(std::string caption) {
  ProcessItem item;
  item.caption = std::move(caption);
  item.sub_items = {"C:\\x\\" + item.caption};
  return item;
}

class PageSelectionTest : public ::testing::Test {
 protected:
  PageSelectionTest()
      : site(SitePlatform{http, system, system}, messages, kBase, "ProcLens"),
        selection({list, browser, status_bar}, site, system, kBase, [this] { ShowOfflinePage(); }) {
    log.browser = &browser;
    list.items = {Process("SvcHost.EXE"), Process("unknown.exe"), Process("other.exe")};
    status_bar.text = "notice";
    http.on_open = [this] { log.Add("http"); };
    Page("http://site.test/process/svchost.exe.html", 200);
    Page("http://site.test/process/other.exe.html", 200);
    Page("http://site.test/process/unknown.exe.html", 404);
    Page(kReportAddress, 200, "OK");
    messages.while_open = [this](const fakes::FakeMessageBox::Shown& shown) {
      log.Add("message " + shown.text);
      if (while_open) while_open();
    };
  }

  void Page(const std::string& address, std::uint32_t status, std::string body = "") {
    http.replies[address] = FakeReply{true, status, {body}};
  }
  void ShowOfflinePage() {
    ++offline_pages;
    log.Add("offline");
    browser.NotifyTitleChange("about:blank");  // the page clears the pane first
  }
  void Click(std::size_t index) {
    list.selected = index;
    selection.ListViewClick();
  }
  int Reports() const {
    return static_cast<int>(std::count(http.log.addresses.begin(), http.log.addresses.end(),
                                       std::string(kReportAddress)));
  }

  EventLog log;
  FakeListView list;
  LoggingBrowser browser{log};
  FakeStatusBar status_bar{&log};
  FakeSiteSystem system;
  FakeHttp http;
  fakes::FakeMessageBox messages;
  // What the report's message box shows is logged, and whatever is asked runs while it is open.
  std::function<void()> while_open;
  SiteClient site;
  PageSelection selection;
  int offline_pages = 0;
};

TEST_F(PageSelectionTest, OnlinePageSetsTheHookNavigatesShowsTheAddressThenReports) {
  Click(0);
  const std::vector<std::string> expected = {
      "http", "navigate http://site.test/process/svchost.exe.html", "status.text", "http"};
  EXPECT_EQ(log.events, expected);
  EXPECT_EQ(log.hook_set, (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(status_bar.text, "http://site.test/process/svchost.exe.html");
  EXPECT_EQ(Reports(), 1);
  EXPECT_EQ(offline_pages, 0);
}

TEST_F(PageSelectionTest, LanguageIsAskedAtEveryClick) {
  Page("http://site.test/prozess/svchost.exe.html", 200);
  system.lang_id = 0x0407;
  Click(0);
  system.lang_id = 0x0409;
  Click(0);
  EXPECT_EQ(browser.navigations,
            (std::vector<std::string>{"http://site.test/prozess/svchost.exe.html",
                                      "http://site.test/process/svchost.exe.html"}));
}

TEST_F(PageSelectionTest, MissingPageShowsTheOfflinePageAndLeavesHookAndStatusAlone) {
  Click(1);
  EXPECT_EQ(offline_pages, 1);
  EXPECT_FALSE(browser.HasTitleChangeHandler());
  EXPECT_EQ(status_bar.text, "notice");
  EXPECT_TRUE(browser.navigations.empty());

  // With the hook set by an earlier online click, the offline page's own
  // "about:blank" reaches the handler, which empties the hook and, the title
  // being "about:blank", asks for the offline page once more.
  Click(0);
  ASSERT_TRUE(browser.HasTitleChangeHandler());
  Click(1);
  EXPECT_EQ(status_bar.text, "http://site.test/process/svchost.exe.html");
  EXPECT_EQ(offline_pages, 3);
  EXPECT_FALSE(browser.HasTitleChangeHandler());
}

TEST_F(PageSelectionTest, NoSelectionChangesNothing) {
  list.selected.reset();
  selection.ListViewClick();
  EXPECT_TRUE(log.events.empty());
  EXPECT_TRUE(http.log.addresses.empty());
}

TEST_F(PageSelectionTest, ReportGoesWithTheFirstOnlinePageOnly) {
  Click(1);  // offline: nothing sent, nothing cleared
  EXPECT_TRUE(site.ReportPending());
  Click(0);
  Click(2);
  Click(0);  // the same item again: a new status test and a new navigation
  EXPECT_EQ(Reports(), 1);
  EXPECT_EQ(browser.navigations.size(), 3u);
  EXPECT_EQ(http.log.addresses.size(), 5u);  // four status tests and one report
}

TEST_F(PageSelectionTest, RefusedNavigationSkipsStatusAndReportAndKeepsTheHook) {
  browser.refused = {"http://site.test/process/svchost.exe.html"};
  EXPECT_THROW(Click(0), std::runtime_error);
  EXPECT_EQ(status_bar.text, "notice");
  EXPECT_TRUE(site.ReportPending());
  EXPECT_TRUE(browser.HasTitleChangeHandler());
  Click(2);
  EXPECT_EQ(Reports(), 1);
}

TEST_F(PageSelectionTest, TitleChangeInsideTheReportsMessageBoxRunsInFull) {
  Page(kReportAddress, 200, "\xA7" "Hello");
  while_open = [this] { browser.NotifyTitleChange("404 Not Found"); };
  Click(0);
  const std::vector<std::string> expected = {"http",
                                             "navigate http://site.test/process/svchost.exe.html",
                                             "status.text",
                                             "http",
                                             "message Hello",
                                             "offline"};
  EXPECT_EQ(log.events, expected);
  EXPECT_EQ(offline_pages, 1);  // the offline page's "about:blank" found the hook empty
  EXPECT_FALSE(browser.HasTitleChangeHandler());
  EXPECT_EQ(status_bar.text, "http://site.test/process/svchost.exe.html");
}

TEST_F(PageSelectionTest, TitleChangeUsesTheItemSelectedAtThatMoment) {
  Click(0);
  list.selected = 2;  // "other.exe"
  browser.NotifyTitleChange("svchost.exe - 404");
  EXPECT_EQ(offline_pages, 1);
}

TEST_F(PageSelectionTest, TitleChangeWithoutSelectionKeepsTheHook) {
  Click(0);
  list.selected.reset();
  browser.NotifyTitleChange("404");
  EXPECT_EQ(offline_pages, 0);
  EXPECT_TRUE(browser.HasTitleChangeHandler());
  list.selected = 0;
  browser.NotifyTitleChange("Fine page");
  EXPECT_EQ(offline_pages, 0);
  EXPECT_FALSE(browser.HasTitleChangeHandler());
  browser.NotifyTitleChange("404");  // the hook is empty now
  EXPECT_EQ(offline_pages, 0);
}

TEST_F(PageSelectionTest, FailedLoadOfTheOnlinePageBringsTheOfflinePageOnce) {
  EXPECT_FALSE(browser.NotifyLoadFailed());  // no online page yet: the front keeps its own
  Click(0);
  EXPECT_TRUE(browser.NotifyLoadFailed());
  EXPECT_EQ(offline_pages, 1);
  EXPECT_FALSE(browser.HasTitleChangeHandler());
  EXPECT_FALSE(browser.NotifyLoadFailed());  // the hook is empty now
  EXPECT_EQ(offline_pages, 1);
}

TEST_F(PageSelectionTest, FailedLoadCountsEvenForACaptionInsideAboutBlank) {
  list.items[2].caption = "about";  // a title test would find the caption in "about:blank"
  Page("http://site.test/process/about.html", 200);
  Click(2);
  browser.NotifyLoadFailed();
  EXPECT_EQ(offline_pages, 1);
}

TEST_F(PageSelectionTest, FailedLoadWithoutSelectionKeepsTheHook) {
  Click(0);
  list.selected.reset();
  browser.NotifyLoadFailed();
  EXPECT_EQ(offline_pages, 0);
  EXPECT_TRUE(browser.HasTitleChangeHandler());
}

struct TitleCase {
  const char* title;
  bool fails;
};

class TitleDecisionTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleDecisionTest, FailureOnlyWithoutTheCaptionAndWithBlankOr404) {
  EXPECT_EQ(TitleShowsFailure(NarrowTitle(GetParam().title), "svchost.exe"), GetParam().fails)
      << GetParam().title;
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleDecisionTest,
    ::testing::Values(TitleCase{"about:blank", true}, TitleCase{"About:blank", false},
                      TitleCase{"about:blank ", false}, TitleCase{"Error 404", true},
                      TitleCase{"svchost.exe 404", false}, TitleCase{"svchost.exe", false},
                      TitleCase{"SvcHost.exe 404", true}, TitleCase{"Generic host", false},
                      TitleCase{"", false}));

TEST(TitleShowsFailureTest, EmptyCaptionNeverCountsAsFound) {
  EXPECT_TRUE(TitleShowsFailure(NarrowTitle("404"), ""));
}

TEST(OnlineAddressTest, LowerCasesOnlyAsciiLettersAndEscapesNothing) {
  EXPECT_EQ(OnlineAddress(kBase, "SvcHost.EXE", false), "http://site.test/process/svchost.exe.html");
  EXPECT_EQ(OnlineAddress(kBase, "SvcHost.EXE", true), "http://site.test/prozess/svchost.exe.html");
  EXPECT_EQ(OnlineAddress(kBase, "My App \xC4\xD6%.EXE", false),
            "http://site.test/process/my app \xC4\xD6%.exe.html");
  EXPECT_EQ(LowerCaseAsciiLetters("AZ[@az\xC9"), "az[@az\xC9");
}

TEST(OnlineAddressTest, PercentEncodesTheCaptionWhereThePlatformAsks) {
  EXPECT_EQ(OnlineAddress(kBase, "Web Content", false, true), "http://site.test/process/web%20content.html");
  EXPECT_EQ(OnlineAddress(kBase, "a#b?c%d/e\\f\"<>", true, true),
            "http://site.test/prozess/a%23b%3Fc%25d%2Fe%5Cf%22%3C%3E.html");
  // UTF-8 letters go as their bytes, the way a browser sends them.
  EXPECT_EQ(OnlineAddress(kBase, "Gr\xC3\xBC\xC3\x9F-1.2_x~(y)+z@w", false, true),
            "http://site.test/process/gr%C3%BC%C3%9F-1.2_x~(y)+z@w.html");
}

}  // namespace
}  // namespace proclens::fakes
