// What a screen reader hears for the window's controls: the MSAA name of
// each control, read through oleacc as a screen reader reads it.

#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>

#include "app/form_texts.h"
#include "platform/win32/window/win32_list_view.h"
#include "platform/win32/window/win32_small_controls.h"
#include "platform/win32/window/win32_web_browser.h"
#include "win32/list_view_fixture.h"

namespace proclens::win32 {
namespace {

// The name of the control's client object, or a text in angle brackets saying
// what oleacc did not give.
std::wstring AccessibleNameOf(HWND control) {
  IAccessible* accessible = nullptr;
  // __uuidof, not IID_IAccessible: MinGW's import library gives that name the
  // address of an import thunk rather than the identifier itself.
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible))) ||
      accessible == nullptr) {
    return L"<no accessible object>";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT result = accessible->get_accName(self, &name);
  accessible->Release();
  if (result != S_OK || name == nullptr) return L"<no name>";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

class AccessibleNamesTest : public ListViewFixture {
 protected:
  void SetUp() override {
    ListViewFixture::SetUp();
    CoInitialize(nullptr);
  }
  void TearDown() override {
    ListViewFixture::TearDown();
    CoUninitialize();
  }

  HWND Child(const char* window_class, DWORD style) {
    return CreateWindowExA(0, window_class, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 30, 30,
                           parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
};

TEST_F(AccessibleNamesTest, ViewButtonsAndTheListAreReadInTheWindowsLanguage) {
  Win32SpeedButton button;
  button.Attach(Child("BUTTON", BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_BITMAP));
  button.SetAccessibleName(EnglishFormTexts().speed_button_names[0]);
  EXPECT_EQ(AccessibleNameOf(button.handle()), L"Large icons");
  // The German text is Windows-1252 in this build and must reach the reader intact.
  button.SetAccessibleName(GermanFormTexts().speed_button_names[0]);
  EXPECT_EQ(AccessibleNameOf(button.handle()), L"Gro\u00DFe Symbole");

  list_.SetAccessibleName(GermanFormTexts().list_view_name);
  EXPECT_EQ(AccessibleNameOf(list_.handle()), L"Aktive Prozesse");
}

TEST_F(AccessibleNamesTest, LogoIsCalledByTheSiteAndKeepsItsPicture) {
  HWND logo = Child("STATIC", SS_ICON);
  HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  SendMessageA(logo, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  NamePictureControl(logo, SiteName());
  EXPECT_EQ(AccessibleNameOf(logo), L"proclens.example");
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(logo, STM_GETICON, 0, 0)), icon);
}

TEST_F(AccessibleNamesTest, BrowserPaneIsNamedEvenWithoutItsControl) {
  Win32WebBrowser browser;
  browser.Create(parent_, 2);
  browser.SetAccessibleName(EnglishFormTexts().web_browser_name);
  EXPECT_EQ(AccessibleNameOf(browser.pane()), L"Information page");
  browser.Close();
}

}  // namespace
}  // namespace proclens::win32
