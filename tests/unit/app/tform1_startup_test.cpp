// The start-up sequence of the main window: its order, and the language of
// the texts it leaves behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/form_texts.h"
#include "unit/app/form_fixture.h"

namespace proclens::fakes {
namespace {

class FormCreateTest : public FormFixture {
 protected:
  void CreateWithLanguage(std::uint16_t lang_id) {
    system.lang_id = lang_id;
    Form().FormCreate();
  }

  void ExpectTexts(const FormTexts& texts) {
    EXPECT_EQ(top_label.text, texts.top_label);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(list_view.columns[i].caption, texts.column_captions[i]) << "column " << i;
    }
    EXPECT_EQ(menu_item.caption, texts.show_in_explorer_popupmenu);
    // What a screen reader calls the controls without a text of their own.
    EXPECT_EQ(large_button.AccessibleName(), texts.speed_button_names[0]);
    EXPECT_EQ(small_button.AccessibleName(), texts.speed_button_names[1]);
    EXPECT_EQ(report_button.AccessibleName(), texts.speed_button_names[2]);
    EXPECT_EQ(list_view.AccessibleName(), texts.list_view_name);
    EXPECT_EQ(web_browser.AccessibleName(), texts.web_browser_name);
  }
};

TEST_F(FormCreateTest, RunsItsStepsInOrderWithTheTitleHookEmptiedFirst) {
  web_browser.SetTitleChangeHandler([](const PageTitle&) {});
  CreateWithLanguage(0x0407);

  const std::vector<std::string> expected = {
      "form.size",       "form.position",      "agent",
      "language",        "label.text",         "list.caption 0",
      "list.caption 1",  "list.caption 2",     "menu.caption",
      "label.autosize off", "label.autosize on", "label.repaint",
      "status.simple on", "status.text",       "snapshot",
      "list.insert alpha.exe", "list.insert Beta.exe"};
  EXPECT_EQ(log.events, expected);
  EXPECT_FALSE(web_browser.HasTitleChangeHandler());
  // Not one step ran while the hook was still set.
  EXPECT_EQ(std::count(log.hook_set.begin(), log.hook_set.end(), true), 0);
}

TEST_F(FormCreateTest, EnglishUserKeepsTheBuiltTextsAndStillRemeasuresTheHeadline) {
  CreateWithLanguage(0x0409);
  ExpectTexts(EnglishFormTexts());
  const std::vector<std::string> expected = {
      "form.size", "form.position", "agent", "language", "label.autosize off",
      "label.autosize on", "label.repaint", "status.simple on", "status.text", "snapshot"};
  std::vector<std::string> without_items;
  for (const auto& event : log.events) {
    if (event.rfind("list.insert", 0) != 0) without_items.push_back(event);
  }
  EXPECT_EQ(without_items, expected);
  EXPECT_TRUE(top_label.auto_size);
}

struct LanguageCase {
  std::uint16_t lang_id;
  bool german;
};

class FormLanguageTest : public FormCreateTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(FormLanguageTest, TextsFollowThePrimaryLanguage) {
  CreateWithLanguage(GetParam().lang_id);
  ExpectTexts(GetParam().german ? GermanFormTexts() : EnglishFormTexts());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, FormLanguageTest,
    ::testing::Values(LanguageCase{0x0407, true},    // German (Germany)
                      LanguageCase{0x0807, true},    // German (Switzerland)
                      LanguageCase{0x0C07, true},    // German (Austria)
                      LanguageCase{0x0409, false},   // English (United States)
                      LanguageCase{0x0C0A, false},   // Spanish
                      LanguageCase{0x0417, false},   // low bits 0x17: not German
                      LanguageCase{0x0000, false}));

TEST_F(FormCreateTest, GermanUserGetsTheSameNoticeInASimpleStatusBar) {
  CreateWithLanguage(0x0407);
  EXPECT_TRUE(status_bar.simple);
  EXPECT_EQ(status_bar.text, PublisherNotice());
  EXPECT_EQ(system.language_reads, 1);
}

TEST_F(FormCreateTest, FillsTheListOnceAndLeavesTheBrowserAlone) {
  CreateWithLanguage(0x0409);
  ASSERT_EQ(list_view.items.size(), 2u);
  EXPECT_EQ(list_view.items[0].caption, "alpha.exe");
  EXPECT_EQ(list_view.items[0].sub_items.at(0), LoggingPlatform::PathOf("alpha.exe"));
  EXPECT_EQ(system.snapshots_taken, 1);
  EXPECT_EQ(system.snapshots_open, 0);
  EXPECT_TRUE(web_browser.navigations.empty());
  EXPECT_TRUE(message_dialog.shown.empty());
}

TEST_F(FormCreateTest, WithoutAnAgentStepTheRestStillRuns) {
  compose_agent_string = nullptr;
  CreateWithLanguage(0x0409);
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "agent"), 0);
  EXPECT_EQ(log.events.back(), "list.insert Beta.exe");
}

}  // namespace
}  // namespace proclens::fakes
