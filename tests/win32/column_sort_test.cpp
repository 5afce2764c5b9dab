// A header click on the Win32 list view: the control's own sort
// (LVM_SORTITEMS) with the list's comparison, in the ANSI build.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/column_sort.h"
#include "catalogue/size_text.h"
#include "platform/win32/win32_image_list.h"
#include "platform/win32/window/win32_list_view.h"

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

class Win32ColumnSortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    parent_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_TRUE(list_.Create(parent_, 1, large_.handle(), small_.handle(),
                             {{"Running process", 122, ColumnAlignment::Left},
                              {"File", 284, ColumnAlignment::Left},
                              {"File size", 122, ColumnAlignment::Right}}));
    for (const ProcessItem& item : {SizedItem("small.exe", 999), SizedItem("none.exe", 0),
                                    SizedItem("Huge.exe", 1234567), SizedItem("mid.exe", 12345)}) {
      list_.AppendItem(item);
    }
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (std::size_t row = 0; row < list_.ItemCount(); ++row) captions.push_back(list_.Item(row).caption);
    return captions;
  }

  HWND parent_ = nullptr;
  Win32ImageList large_{32};
  Win32ImageList small_{16};
  Win32ListView list_;
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
