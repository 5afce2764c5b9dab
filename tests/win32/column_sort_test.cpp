// A header click on the Win32 list view: the control's own sort
// (LVM_SORTITEMS) with the list's comparison, in the ANSI build.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/column_sort.h"
#include "catalogue/size_text.h"
#include "win32/list_view_fixture.h"

namespace proclens::win32 {
namespace {

ProcessItem SizedItem(const std::string& caption, std::int64_t size) {
  ProcessItem item;
  item.caption = caption;
  item.sub_items = {"C:\\x\\" + caption};
  if (size > 3) item.sub_items.push_back(FormatSizeText(size));
  item.image_index = 1;
  return item;
}

class Win32ColumnSortTest : public ListViewFixture {
 protected:
  void SetUp() override {
    ListViewFixture::SetUp();
    if (HasFatalFailure()) return;
    for (const ProcessItem& item : {SizedItem("small.exe", 999), SizedItem("none.exe", 0),
                                    SizedItem("Huge.exe", 1234567), SizedItem("mid.exe", 12345)}) {
      list_.AppendItem(item);
    }
  }
};

TEST_F(Win32ColumnSortTest, SizesInNumericOrderDescendingThenAscending) {
  ListViewColumnClick(list_, 2);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Huge.exe", "mid.exe", "small.exe", "none.exe"}));
  EXPECT_EQ(list_.ColumnMinWidth(2), 1);
  ListViewColumnClick(list_, 2);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"none.exe", "small.exe", "mid.exe", "Huge.exe"}));
  EXPECT_EQ(list_.ColumnMinWidth(2), 0);
}

TEST_F(Win32ColumnSortTest, NamesFoldOnlyAsciiLetters) {
  ListViewColumnClick(list_, 0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"small.exe", "none.exe", "mid.exe", "Huge.exe"}));
}

}  // namespace
}  // namespace proclens::win32
