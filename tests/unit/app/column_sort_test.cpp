// Header clicks on the process list: the per-column toggles, the sort
// parameter, and the comparison's orders on the three columns.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/column_sort.h"
#include "catalogue/size_text.h"
#include "unit/app/fake_controls.h"

namespace proclens::fakes {
namespace {

ProcessItem Item(std::string caption, std::string path, std::string size = "") {
  ProcessItem item;
  item.caption = std::move(caption);
  item.sub_items.push_back(std::move(path));
  if (!size.empty()) item.sub_items.push_back(std::move(size));
  return item;
}

std::vector<std::string> Captions(const FakeListView& list) {
  std::vector<std::string> captions;
  for (const ProcessItem& item : list.items) captions.push_back(item.caption);
  return captions;
}

class ColumnClickTest : public ::testing::Test {
 protected:
  ColumnClickTest() {
    list.items = {Item("Explorer.EXE", "C:\\Windows\\explorer.exe", FormatSizeText(12345)),
                  Item("svchost.exe", "C:\\Windows\\System32\\svchost.exe", FormatSizeText(999)),
                  Item("big.exe", "C:\\Apps\\big.exe", FormatSizeText(1234567)),
                  Item("System", " Access is denied."),
                  Item("tiny.exe", "C:\\Apps\\tiny.exe")};
  }
  FakeListView list;
};

TEST_F(ColumnClickTest, NamesGoDescendingThenAscendingWithCaseFolded) {
  ListViewColumnClick(list, 0);
  EXPECT_EQ(Captions(list),
            (std::vector<std::string>{"tiny.exe", "System", "svchost.exe", "Explorer.EXE", "big.exe"}));
  EXPECT_EQ(list.columns[0].min_width, 1);
  ListViewColumnClick(list, 0);
  EXPECT_EQ(Captions(list),
            (std::vector<std::string>{"big.exe", "Explorer.EXE", "svchost.exe", "System", "tiny.exe"}));
  EXPECT_EQ(list.columns[0].min_width, 0);
}

TEST_F(ColumnClickTest, SizesSortInNumericOrderWithSizeLessItemsLastWhenDescending) {
  ListViewColumnClick(list, 2);
  const std::vector<std::string> descending = Captions(list);
  ASSERT_EQ(descending.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(descending.begin(), descending.begin() + 3),
            (std::vector<std::string>{"big.exe", "Explorer.EXE", "svchost.exe"}));
  ListViewColumnClick(list, 2);
  const std::vector<std::string> ascending = Captions(list);
  EXPECT_EQ(std::vector<std::string>(ascending.begin() + 2, ascending.end()),
            (std::vector<std::string>{"svchost.exe", "Explorer.EXE", "big.exe"}));
}

TEST_F(ColumnClickTest, ErrorTextsComeBeforePathsAscending) {
  ListViewColumnClick(list, 1);  // descending: the error text last
  EXPECT_EQ(Captions(list).back(), "System");
  ListViewColumnClick(list, 1);
  EXPECT_EQ(Captions(list),
            (std::vector<std::string>{"System", "big.exe", "tiny.exe", "Explorer.EXE", "svchost.exe"}));
}

TEST_F(ColumnClickTest, EachColumnKeepsItsOwnToggle) {
  ListViewColumnClick(list, 0);  // descending
  ListViewColumnClick(list, 2);  // its own first click: descending
  EXPECT_EQ(Captions(list).front(), "big.exe");
  ListViewColumnClick(list, 0);  // column 0's second click: ascending
  EXPECT_EQ(Captions(list).front(), "big.exe");
  EXPECT_EQ(Captions(list).back(), "tiny.exe");
  EXPECT_EQ(list.columns[0].min_width, 0);
  EXPECT_EQ(list.columns[1].min_width, 0);
  EXPECT_EQ(list.columns[2].min_width, 1);
}

TEST_F(ColumnClickTest, WithoutTheWindowOnlyTheToggleChanges) {
  list.window_exists = false;
  const std::vector<std::string> before = Captions(list);
  ListViewColumnClick(list, 1);
  EXPECT_EQ(list.columns[1].min_width, 1);
  EXPECT_EQ(Captions(list), before);
  EXPECT_EQ(list.sorts, 0);
}

TEST(CompareColumnTextsTest, FoldsOnlyAsciiLettersAndReturnsTheByteDifference) {
  EXPECT_EQ(CompareColumnTexts("SVCHOST.exe", "svchost.EXE", false), 0);
  EXPECT_EQ(CompareColumnTexts("a", "C", false), 'A' - 'C');
  // 0xE4 and 0xC4 are a Latin-1 letter pair that is not folded.
  EXPECT_EQ(CompareColumnTexts("\xE4", "\xC4", false), 0xE4 - 0xC4);
  // Bytes compare unsigned: 0xB4 comes after every ASCII byte.
  EXPECT_GT(CompareColumnTexts("\xB4", "z", false), 0);
  // [ lies between Z and a: it sorts after a folded letter.
  EXPECT_GT(CompareColumnTexts("[", "a", false), 0);
}

TEST(CompareColumnTextsTest, LengthDecidesWhenOneTextIsAPrefix) {
  EXPECT_EQ(CompareColumnTexts("C:\\Apps", "C:\\Apps\\x.exe", false), -6);
  EXPECT_EQ(CompareColumnTexts("C:\\Apps\\x.exe", "C:\\Apps", false), 6);
}

TEST(CompareColumnTextsTest, RightJustifiedTextsAreFilledOnTheLeft) {
  EXPECT_LT(CompareColumnTexts(FormatSizeText(999), FormatSizeText(12345), true), 0);
  EXPECT_GT(CompareColumnTexts(FormatSizeText(1234567), FormatSizeText(12345), true), 0);
  // Left-justified, the digits decide: "9" is above "1".
  EXPECT_GT(CompareColumnTexts(FormatSizeText(999), FormatSizeText(12345), false), 0);
  // A missing size is all fill: below every size, equal to another missing one.
  EXPECT_LT(CompareColumnTexts("", FormatSizeText(999), true), 0);
  EXPECT_EQ(CompareColumnTexts("", "", true), 0);
  EXPECT_EQ(CompareColumnTexts("12", "\x01" "12", true), 0);
}

TEST(CompareProcessItemsTest, ReadsTheColumnTextAndAppliesTheDirection) {
  FakeListView list;
  const ProcessItem with_size = Item("a.exe", "/a", FormatSizeText(5000));
  const ProcessItem without = Item("b.exe", "/b");
  EXPECT_GT(CompareProcessItems(with_size, without, 3, list), 0);
  EXPECT_LT(CompareProcessItems(with_size, without, -3, list), 0);
  EXPECT_LT(CompareProcessItems(with_size, without, 1, list), 0);
}

}  // namespace
}  // namespace proclens::fakes
