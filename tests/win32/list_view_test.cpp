// The Win32 list view control: rows, their data and the control's own sort.

#include <gtest/gtest.h>

#include "win32/list_view_fixture.h"

namespace proclens::win32 {
namespace {

ProcessItem MakeItem(std::uint32_t pid, const std::string& caption, const std::string& path) {
  ProcessItem item;
  item.pid = pid;
  item.caption = caption;
  item.sub_items = {path, "1" + std::string("\xB4") + "000 byte"};
  item.image_index = 1;
  return item;
}

class ListViewTest : public ListViewFixture {
 protected:
  void SetUp() override {
    ListViewFixture::SetUp();
    if (HasFatalFailure()) return;
    MoveWindow(list_.handle(), 0, 0, 500, 300, FALSE);
  }
};

TEST_F(ListViewTest, InsertsAtPositionsAndAppendsAtTheEnd) {
  list_.AppendItem(MakeItem(20, "b.exe", " Access denied"));
  list_.InsertItem(0, MakeItem(10, "a.exe", "C:\\a.exe"));
  list_.AppendItem(MakeItem(40, "d.exe", " Access denied"));
  list_.InsertItem(1, MakeItem(30, "c.exe", "C:\\c.exe"));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.exe", "c.exe", "b.exe", "d.exe"}));

  const ProcessItem second = list_.Item(1);
  EXPECT_EQ(second.pid, 30u);
  EXPECT_EQ(second.sub_items.at(0), "C:\\c.exe");
  // The control shows the same texts as the data behind the row.
  char shown[64] = {};
  ListView_GetItemText(list_.handle(), 1, 1, shown, sizeof(shown));
  EXPECT_STREQ(shown, "C:\\c.exe");
  ListView_GetItemText(list_.handle(), 1, 2, shown, sizeof(shown));
  EXPECT_STREQ(shown, "1\xB4" "000 byte");

  // The row's picture is the item's; an item without one asks for none.
  ProcessItem pictureless = MakeItem(50, "e.exe", "C:\\e.exe");
  pictureless.image_index = kNoImage;
  list_.AppendItem(pictureless);
  LVITEMA row = {};
  row.mask = LVIF_IMAGE;
  row.iItem = 1;
  SendMessageA(list_.handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(row.iImage, 1);
  row.iItem = 4;
  SendMessageA(list_.handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(row.iImage, I_IMAGENONE);
  EXPECT_EQ(list_.Item(4).image_index, kNoImage);
}

TEST_F(ListViewTest, SortMovesRowsWithTheirData) {
  list_.AppendItem(MakeItem(1, "b.exe", "C:\\b.exe"));
  list_.AppendItem(MakeItem(2, "c.exe", "C:\\c.exe"));
  list_.AppendItem(MakeItem(3, "a.exe", "C:\\a.exe"));
  list_.SortItems([](const ProcessItem& a, const ProcessItem& b) { return a.caption.compare(b.caption); });
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.exe", "b.exe", "c.exe"}));
  EXPECT_EQ(list_.Item(0).pid, 3u);
  EXPECT_EQ(list_.Item(2).sub_items.at(0), "C:\\c.exe");
}

TEST_F(ListViewTest, SelectionIsTheSelectedRow) {
  list_.AppendItem(MakeItem(1, "a.exe", "C:\\a.exe"));
  list_.AppendItem(MakeItem(2, "b.exe", "C:\\b.exe"));
  EXPECT_EQ(list_.SelectedIndex(), std::nullopt);
  ListView_SetItemState(list_.handle(), 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list_.SelectedIndex(), 1u);
  EXPECT_EQ(list_.SelectedItem()->pid, 2u);
}

TEST_F(ListViewTest, ViewStylesKeepItemsAndOrder) {
  list_.AppendItem(MakeItem(1, "b.exe", "C:\\b.exe"));
  list_.AppendItem(MakeItem(2, "a.exe", "C:\\a.exe"));
  EXPECT_EQ(list_.GetViewStyle(), ViewStyle::Report);
  list_.SetViewStyle(ViewStyle::LargeIcons);
  EXPECT_EQ(list_.GetViewStyle(), ViewStyle::LargeIcons);
  list_.SetViewStyle(ViewStyle::SmallIcons);
  EXPECT_EQ(list_.GetViewStyle(), ViewStyle::SmallIcons);
  list_.SetViewStyle(ViewStyle::Report);
  EXPECT_EQ(list_.GetViewStyle(), ViewStyle::Report);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b.exe", "a.exe"}));
  const LONG_PTR style = GetWindowLongPtrA(list_.handle(), GWL_STYLE);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & LVS_EDITLABELS);
  EXPECT_FALSE(style & LVS_NOSORTHEADER);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(list_.handle()) & LVS_EX_FULLROWSELECT);
}

TEST_F(ListViewTest, ColumnsKeepCaptionsWidthsAndMinimums) {
  EXPECT_EQ(list_.ColumnCount(), 3);
  EXPECT_EQ(list_.ColumnCaption(2), "File size");
  list_.SetColumnCaption(2, "Dateigr\xF6\xDF" "e");
  EXPECT_EQ(list_.ColumnCaption(2), "Dateigr\xF6\xDF" "e");
  EXPECT_EQ(list_.ColumnWidth(0), 122);
  EXPECT_EQ(list_.GetColumnAlignment(2), ColumnAlignment::Right);
  list_.SetColumnWidth(1, -40);
  EXPECT_EQ(list_.ColumnWidth(1), 0);
  list_.SetColumnMinWidth(0, 150);
  EXPECT_EQ(list_.ColumnWidth(0), 150);
  EXPECT_FALSE(list_.AcceptsColumnWidth(0, 149));
  EXPECT_TRUE(list_.AcceptsColumnWidth(0, 150));
}

TEST_F(ListViewTest, RefillStartsEmptyAndSelectsByPosition) {
  list_.AppendItem(MakeItem(10, "a.exe", "C:\\a.exe"));
  list_.AppendItem(MakeItem(20, "b.exe", "C:\\b.exe"));
  list_.SelectIndex(1);
  EXPECT_EQ(list_.SelectedIndex(), 1u);
  list_.SelectIndex(0);  // one selection at a time
  EXPECT_EQ(list_.SelectedIndex(), 0u);
  EXPECT_EQ(ListView_GetSelectedCount(list_.handle()), 1u);

  list_.ClearItems();
  EXPECT_EQ(list_.ItemCount(), 0u);
  EXPECT_FALSE(list_.SelectedIndex());
  // Items added after the clearing carry their own data, not the old rows'.
  list_.AppendItem(MakeItem(30, "c.exe", "C:\\c.exe"));
  EXPECT_EQ(list_.Item(0).pid, 30u);
  list_.SelectIndex(std::nullopt);
  EXPECT_FALSE(list_.SelectedIndex());
}

}  // namespace
}  // namespace proclens::win32
