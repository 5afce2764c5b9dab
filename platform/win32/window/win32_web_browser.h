#pragma once
// The browser pane: the WebBrowser ActiveX control hosted in a child window,
// without ATL. One site object answers the container interfaces the control
// asks for (client site, in-place site and frame) and the DWebBrowserEvents2
// sink that reports title changes. When the control cannot be created (a
// system without an HTML engine) the pane stays empty and the window works on.

#include <functional>
#include <memory>
#include <string>

#include "app/controls.h"
#include "platform/win32/win32_api.h"

namespace proclens::win32 {

class BrowserSite;

// A title the control reports, kept in UTF-16: the narrow texts it is
// compared with are converted from the ANSI code page, so that no best-fit
// conversion of the title can make them appear in it.
class WideTitle : public PageTitle {
 public:
  explicit WideTitle(std::wstring text) : text_(std::move(text)) {}
  bool Contains(const std::string& text) const override;
  bool Equals(const std::string& text) const override;
  std::string Narrow() const override;

 private:
  std::wstring text_;
};

// What the site does with a title the control reports: hand it to the pane's
// title-change hook.
std::function<void(const std::wstring&)> TitleSinkFor(WebBrowser& browser);

class Win32WebBrowser : public WebBrowser {
 public:
  Win32WebBrowser();
  ~Win32WebBrowser() override;
  Win32WebBrowser(const Win32WebBrowser&) = delete;
  Win32WebBrowser& operator=(const Win32WebBrowser&) = delete;

  // Creates the pane as a child of parent and embeds the control in it; the
  // pane exists even when the control does not (false then).
  bool Create(HWND parent, int control_id);
  HWND pane() const { return pane_; }
  bool HasControl() const;
  void Place(int left, int top, int width, int height);
  // Releases the control; called before the window and COM go away.
  void Close();
  // A key for the page while the pane has the focus; true when the page used it.
  bool TranslateKey(MSG& message);

  void Navigate(const std::string& address) override;
  void Update() override;

  // A screen reader reads the pane's window text as its name.
  void ShowAccessibleName(const std::string& name) override { SetWindowTextA(pane_, name.c_str()); }

  // Runs the title-change handler the way the window runs its handlers, so a
  // failure in it is shown rather than thrown into the control's event call.
  std::function<void(const std::function<void()>& handler)> dispatch;

 private:
  HWND pane_ = nullptr;
  std::unique_ptr<BrowserSite> site_;
};

}  // namespace proclens::win32
