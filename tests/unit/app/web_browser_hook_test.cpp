// The browser pane's title-change slot: one handler or none, safe to change
// from inside the handler it holds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/app/fake_controls.h"

namespace proclens::fakes {
namespace {

TEST(WebBrowserHookTest, TitleChangesReachOnlyTheHandlerThatIsSet) {
  FakeWebBrowser browser;
  std::vector<std::string> seen;
  browser.NotifyTitleChange("before");  // empty slot: no effect
  EXPECT_FALSE(browser.HasTitleChangeHandler());

  browser.SetTitleChangeHandler([&](const PageTitle& title) { seen.push_back("a:" + title.Narrow()); });
  browser.NotifyTitleChange("one");
  browser.SetTitleChangeHandler([&](const PageTitle& title) { seen.push_back("b:" + title.Narrow()); });
  browser.NotifyTitleChange("two");
  browser.ClearTitleChangeHandler();
  browser.NotifyTitleChange("three");

  EXPECT_EQ(seen, (std::vector<std::string>{"a:one", "b:two"}));
}

// Counts, in a number outside them, the live copies of the handler holding it.
class LifeCount {
 public:
  explicit LifeCount(int& live) : live_(&live) { ++*live_; }
  LifeCount(const LifeCount& other) : live_(other.live_) { ++*live_; }
  LifeCount& operator=(const LifeCount&) = delete;
  ~LifeCount() { --*live_; }

 private:
  int* live_;
};

TEST(WebBrowserHookTest, HandlerMayEmptyTheSlotWhileItRuns) {
  FakeWebBrowser browser;
  std::vector<std::string> seen;
  int live = 0;
  browser.SetTitleChangeHandler([&browser, &seen, &live, count = LifeCount(live)](
                                    const PageTitle& title) {
    browser.ClearTitleChangeHandler();
    // Emptying the slot must not destroy the handler under the running call.
    seen.push_back(title.Narrow() + (live > 0 ? " (alive)" : " (destroyed)"));
  });
  browser.NotifyTitleChange("first");
  browser.NotifyTitleChange("second");
  EXPECT_EQ(seen, (std::vector<std::string>{"first (alive)"}));
  EXPECT_FALSE(browser.HasTitleChangeHandler());
  EXPECT_EQ(live, 0);  // and once it has returned, nothing keeps it
}

TEST(WebBrowserHookTest, HandlerMayPutAnotherInItsPlace) {
  FakeWebBrowser browser;
  std::vector<std::string> seen;
  browser.SetTitleChangeHandler([&](const PageTitle& title) {
    browser.SetTitleChangeHandler([&](const PageTitle& later) { seen.push_back("next:" + later.Narrow()); });
    seen.push_back("first:" + title.Narrow());
  });
  browser.NotifyTitleChange("a");
  browser.NotifyTitleChange("b");
  EXPECT_EQ(seen, (std::vector<std::string>{"first:a", "next:b"}));
}

}  // namespace
}  // namespace proclens::fakes
