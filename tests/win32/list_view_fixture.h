#pragma once
// A real Win32 list view with the window's three columns, under a hidden
// parent, for the tests of the control and of its sort.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_image_list.h"
#include "platform/win32/window/win32_list_view.h"

namespace proclens::win32 {

class ListViewFixture : public ::testing::Test {
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

}  // namespace proclens::win32
