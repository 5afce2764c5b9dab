#include "platform/linux/window/gtk_web_browser.h"

#include "platform/linux/window/webkit_library.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <stdexcept>
#include <vector>

namespace proclens::gtk_front {
namespace {

// Runs the main loop until the condition holds or the time is up.
template <typename Condition>
bool RunUntil(Condition done, int seconds) {
  const gint64 deadline = g_get_monotonic_time() + seconds * G_USEC_PER_SEC;
  while (!done() && g_get_monotonic_time() < deadline) g_main_context_iteration(nullptr, FALSE);
  return done();
}

class ShownBrowser : public testing::Test {
 protected:
  ShownBrowser() {
    window_.add(browser_.widget());
    window_.set_default_size(400, 300);
    window_.show_all();
  }
  GtkWebBrowser browser_;
  Gtk::Window window_;
};

// The title the web view itself reports now.
std::string ViewTitle(GtkWebBrowser& browser) {
  const WebKitLibrary* webkit = LoadWebKit(nullptr);
  const char* title = webkit != nullptr ? webkit->webkit_web_view_get_title(browser.View()) : nullptr;
  return title != nullptr ? title : "";
}

TEST_F(ShownBrowser, TitlesReachTheSlotOnlyWhileItHoldsAHandler) {
  std::vector<std::string> seen_by_slot;
  browser_.Navigate("data:text/html,<title>first</title>");
  ASSERT_TRUE(RunUntil([&] { return ViewTitle(browser_) == "first"; }, 60));
  EXPECT_TRUE(seen_by_slot.empty());  // the slot was empty: no effect

  // The handler empties the slot while it runs, as the page logic does.
  browser_.SetTitleChangeHandler([&](const PageTitle& title) {
    seen_by_slot.push_back(title.Narrow());
    browser_.ClearTitleChangeHandler();
  });
  browser_.Navigate("data:text/html,<title>second</title><script>"
                    "setTimeout(function(){document.title='third'},50)</script>");
  ASSERT_TRUE(RunUntil([&] { return ViewTitle(browser_) == "third"; }, 60));
  ASSERT_FALSE(seen_by_slot.empty());
  EXPECT_EQ(seen_by_slot.size(), 1u);
  EXPECT_FALSE(browser_.HasTitleChangeHandler());
}

TEST_F(ShownBrowser, PlainPathsAreLoadedAsFileUris) {
  browser_.Navigate("/nonexistent-folder/htm1234.tmp");
  EXPECT_EQ(browser_.CurrentUri(), "file:///nonexistent-folder/htm1234.tmp");
  browser_.Navigate("about:blank");
  EXPECT_EQ(browser_.CurrentUri(), "about:blank");
}

}  // namespace
}  // namespace proclens::gtk_front
