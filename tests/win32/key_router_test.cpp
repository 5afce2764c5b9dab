// The main window's keyboard over real windows: Tab round the three stops,
// the page's keys first while the pane has the focus, the list's own keys
// left to the list.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/win32/window/win32_key_router.h"

namespace proclens::win32 {
namespace {

class KeyRouterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    for (int i = 0; i < 3; ++i) {
      buttons_.push_back(Child("BUTTON", BS_AUTORADIOBUTTON | BS_PUSHLIKE | (i == 0 ? WS_GROUP : 0), window_));
    }
    SendMessageA(buttons_[2], BM_SETCHECK, BST_CHECKED, 0);
    list_ = Child("LISTBOX", 0, window_);
    pane_ = Child("STATIC", 0, window_);
    page_ = Child("STATIC", 0, pane_);  // the hosted control's window
    router_ = std::make_unique<KeyRouter>(KeyStops{window_, buttons_, list_, pane_}, [this](MSG& message) {
      page_saw_.push_back(static_cast<UINT>(message.wParam));
      return page_takes_;
    });
    SetShift(false);
  }
  void TearDown() override {
    SetShift(false);
    if (window_) DestroyWindow(window_);
  }

  HWND Child(const char* window_class, DWORD style, HWND parent) {
    return CreateWindowExA(0, window_class, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 40, 20, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  static void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  // A key pressed while focus has the focus; true when the router kept it.
  bool Press(HWND focus, WPARAM key) {
    SetFocus(focus);
    MSG message = {GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
    return router_->Route(message);
  }

  HWND window_ = nullptr;
  std::vector<HWND> buttons_;
  HWND list_ = nullptr, pane_ = nullptr, page_ = nullptr;
  std::unique_ptr<KeyRouter> router_;
  std::vector<UINT> page_saw_;
  bool page_takes_ = false;
};

// gui-click-test.sh walks the round from the list, the pane and the pressed button.
TEST_F(KeyRouterTest, TabAndShiftTabGoRoundThePressedButtonTheListAndThePane) {
  const struct {
    HWND from;
    bool shift;
    HWND to;
  } cases[] = {
      {buttons_[0], false, list_},    // an unpressed button: the list follows the group
      {page_, true, list_},           // deep inside the pane
      {window_, false, buttons_[2]},  // from the window itself: the first stop
  };
  for (const auto& c : cases) {
    SetShift(c.shift);
    EXPECT_TRUE(Press(c.from, VK_TAB));
    EXPECT_EQ(GetFocus(), c.to) << "from " << c.from << (c.shift ? " with Shift" : "");
  }
}

TEST_F(KeyRouterTest, ThePageSeesItsKeysFirstAndKeepsThoseItUses) {
  EXPECT_FALSE(Press(page_, VK_DOWN));  // not used: dispatched to the page's window
  EXPECT_EQ(GetFocus(), page_);
  page_takes_ = true;  // Tab between the page's links
  EXPECT_TRUE(Press(page_, VK_TAB));
  EXPECT_EQ(GetFocus(), page_);
  EXPECT_EQ(page_saw_, (std::vector<UINT>{VK_DOWN, VK_TAB}));
}

TEST_F(KeyRouterTest, TheListKeepsItsArrowsEnterAndMenuKeyAndThePageSeesNone) {
  for (WPARAM key : {VK_DOWN, VK_UP, VK_RETURN, VK_APPS, VK_F10}) {
    EXPECT_FALSE(Press(list_, key)) << key;
    EXPECT_EQ(GetFocus(), list_);
  }
  EXPECT_TRUE(page_saw_.empty());
}

TEST_F(KeyRouterTest, ArrowsPressTheNextViewButtonRoundTheGroup) {
  EXPECT_TRUE(Press(buttons_[2], VK_RIGHT));
  EXPECT_EQ(GetFocus(), buttons_[0]);
  EXPECT_EQ(SendMessageA(buttons_[0], BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(buttons_[2], BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(Press(buttons_[0], VK_UP));
  EXPECT_EQ(GetFocus(), buttons_[2]);
  EXPECT_EQ(SendMessageA(buttons_[2], BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
}  // namespace proclens::win32
