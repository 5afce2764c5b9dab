// The shell actions: the three attempts of "open file location" with their
// exact arguments, and the logo's site with its beep.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/shell_actions.h"
#include "unit/app/fake_controls.h"
#include "unit/app/fake_shell.h"

namespace proclens::fakes {
namespace {

constexpr std::uintptr_t kFileNotFound = 2;  // a failure (not above 32)

class ShowInExplorerTest : public ::testing::Test {
 protected:
  void SelectPath(const std::string& path) {
    ProcessItem item;
    item.caption = "x";
    item.sub_items = {path};
    list.items = {ProcessItem{}, item};
    list.selected = 1;
  }
  FakeListView list;
  FakeShell shell;
};

TEST_F(ShowInExplorerTest, FirstAttemptSelectsTheBareFileNameInItsFolder) {
  SelectPath("C:\\Program Files\\Tool\\tool.exe");
  ShowInExplorer(shell, list);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0], (ShellCall{ShellOwner::None, "open", "explorer.exe",
                                       "/select, tool.exe", "C:\\Program Files\\Tool\\", 1}));
}

TEST_F(ShowInExplorerTest, FailuresLeadToTheNextAttemptsAndTheThirdIsNotLookedAt) {
  SelectPath("D:tool.exe");  // a colon ends the folder too
  shell.results = {kFileNotFound, 32, kFileNotFound};
  ShowInExplorer(shell, list);
  const std::vector<ShellCall> expected = {
      {ShellOwner::None, "open", "explorer.exe", "/select, tool.exe", "D:", 1},
      {ShellOwner::MainWindow, "explore", "D:", std::nullopt, "D:", 5},
      {ShellOwner::MainWindow, "open", "explorer.exe", "D:", std::nullopt, 5}};
  EXPECT_EQ(shell.calls, expected);
  EXPECT_TRUE(shell.beeps.empty());
}

TEST_F(ShowInExplorerTest, SecondAttemptThatSucceedsEndsTheAction) {
  SelectPath("C:\\a\\b.exe");
  shell.results = {kFileNotFound, 33};
  ShowInExplorer(shell, list);
  EXPECT_EQ(shell.calls.size(), 2u);
}

TEST_F(ShowInExplorerTest, AnErrorTextIsHandedOnWhole) {
  SelectPath(" Access is denied.");
  ShowInExplorer(shell, list);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].parameters, "/select,  Access is denied.");
  EXPECT_EQ(shell.calls[0].directory, "");
}

TEST_F(ShowInExplorerTest, NothingWithoutASelection) {
  SelectPath("C:\\a\\b.exe");
  list.selected.reset();
  ShowInExplorer(shell, list);
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(ShowInExplorerTest, LinuxPathsSplitOnlyAtTheSlash) {
  shell.separators = "/";
  SelectPath("/opt/a:b/run\\me");
  ShowInExplorer(shell, list);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].parameters, "/select, run\\me");
  EXPECT_EQ(shell.calls[0].directory, "/opt/a:b/");
}

TEST(OpenPublisherSiteTest, OpensTheSiteBaseAndBeepsOnlyOnFailure) {
  FakeShell shell;
  OpenPublisherSite(shell, "http://site.test/");
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0], (ShellCall{ShellOwner::MainWindow, "open", "http://site.test/",
                                       std::nullopt, std::nullopt, 5}));
  EXPECT_TRUE(shell.beeps.empty());

  shell.results = {32};
  OpenPublisherSite(shell, "http://site.test/");
  EXPECT_EQ(shell.beeps, std::vector<unsigned>{0});
  EXPECT_EQ(shell.calls.size(), 2u);
}

}  // namespace
}  // namespace proclens::fakes
