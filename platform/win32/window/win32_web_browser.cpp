#include "platform/win32/window/win32_web_browser.h"

#include <stdexcept>

#include "platform/win32/win32_text.h"
#include "platform/win32/window/browser_site.h"

namespace proclens::win32 {
namespace {

constexpr char kPaneClass[] = "ProcLensBrowserPane";

// The system's text for a refused navigation, as the user sees it.
std::string ErrorText(HRESULT result) {
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(result), 0, text, sizeof(text),
                                      nullptr);
  if (length == 0) return "Navigation failed (error " + std::to_string(static_cast<unsigned long>(result)) + ")";
  return std::string(text, length);
}

// The focus that reaches the pane (Tab) goes on to the control in it.
LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SETFOCUS) {
    if (auto* site = reinterpret_cast<BrowserSite*>(GetWindowLongPtrA(pane, GWLP_USERDATA))) site->TakeFocus();
    return 0;
  }
  return DefWindowProcA(pane, message, wparam, lparam);
}

void RegisterPaneClass() {
  WNDCLASSEXA pane = {};
  pane.cbSize = sizeof(pane);
  pane.lpfnWndProc = PaneProc;
  pane.hInstance = GetModuleHandleA(nullptr);
  pane.hCursor = LoadCursor(nullptr, IDC_ARROW);
  pane.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  pane.lpszClassName = kPaneClass;
  RegisterClassExA(&pane);  // a second registration fails harmlessly
}

}  // namespace

bool WideTitle::Contains(const std::string& text) const {
  if (text.empty()) return true;
  const std::wstring wide = WideFromNarrow(text);
  return !wide.empty() && text_.find(wide) != std::wstring::npos;
}

bool WideTitle::Equals(const std::string& text) const {
  const std::wstring wide = WideFromNarrow(text);
  return text_ == wide && wide.empty() == text.empty();
}

std::string WideTitle::Narrow() const { return NarrowFromWide(text_); }

std::function<void(const std::wstring&)> TitleSinkFor(WebBrowser& browser) {
  return [&browser](const std::wstring& title) { browser.NotifyTitleChange(WideTitle(title)); };
}

Win32WebBrowser::Win32WebBrowser() = default;

Win32WebBrowser::~Win32WebBrowser() { Close(); }

bool Win32WebBrowser::Create(HWND parent, int control_id) {
  RegisterPaneClass();
  pane_ = CreateWindowExA(WS_EX_CLIENTEDGE, kPaneClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                          GetModuleHandleA(nullptr), nullptr);
  if (!pane_) return false;
  site_ = std::make_unique<BrowserSite>(
      pane_, [this, sink = TitleSinkFor(*this)](const std::wstring& title) {
        if (dispatch) {
          dispatch([&sink, &title] { sink(title); });
        } else {
          sink(title);
        }
      });
  if (!site_->Embed()) {
    site_.reset();
    return false;
  }
  SetWindowLongPtrA(pane_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site_.get()));
  return true;
}

bool Win32WebBrowser::HasControl() const { return site_ && site_->browser(); }

void Win32WebBrowser::Place(int left, int top, int width, int height) {
  if (!pane_) return;
  MoveWindow(pane_, left, top, width, height, TRUE);
  if (site_) {
    RECT inner = {};
    GetClientRect(pane_, &inner);
    site_->Place(inner);
  }
}

void Win32WebBrowser::Close() {
  if (pane_) SetWindowLongPtrA(pane_, GWLP_USERDATA, 0);
  if (site_) site_->Close();
  site_.reset();
}

bool Win32WebBrowser::TranslateKey(MSG& message) { return site_ && site_->TranslateKey(message); }

void Win32WebBrowser::Navigate(const std::string& address) {
  if (!HasControl()) return;  // no control: the pane stays empty
  BSTR url = SysAllocString(WideFromNarrow(address).c_str());
  VARIANT empty;
  VariantInit(&empty);
  const HRESULT result = site_->browser()->Navigate(url, &empty, &empty, &empty, &empty);
  SysFreeString(url);
  if (FAILED(result)) throw std::runtime_error(ErrorText(result));
}

void Win32WebBrowser::Update() {
  if (pane_) RedrawWindow(pane_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace proclens::win32
