#pragma once
// The main window: logo, headline and view-style buttons in the top 40
// pixels, then the process list, a splitter, the browser pane and the status
// bar, top to bottom. It owns every control for the whole run and forwards
// the window's events to TForm1.

#include <functional>
#include <memory>

#include "app/controls.h"
#include "app/form_layout.h"
#include "app/form_texts.h"
#include "app/tform1.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_image_list.h"
#include "platform/win32/window/win32_key_router.h"
#include "platform/win32/window/win32_list_view.h"
#include "platform/win32/window/win32_small_controls.h"
#include "platform/win32/window/win32_splitter.h"
#include "platform/win32/window/win32_web_browser.h"

namespace proclens::win32 {

class MainWindow {
 public:
  MainWindow() = default;
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, hidden; false when it cannot.
  bool Create(HINSTANCE instance);
  HWND handle() const { return window_; }
  FormControls Controls();
  // From now on the window's events reach the form; the form outlives the loop.
  void Attach(TForm1& form);

  // Runs a handler; a failure that escapes it ends that handler only and is
  // shown in a message box.
  void Dispatch(const std::function<void()>& handler);

  // The window's keys for a message of the loop (F5, Tab round the
  // controls, the page's own keys first while it has the focus); true when
  // it was one and must not be dispatched.
  bool TranslateKeys(MSG& message);

  Win32ListView& list_view() { return list_view_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnNotify(NMHDR& header);
  void OnCommand(int id);
  void OnActivate(WPARAM state);
  void OnSplitterDrag(int y_in_client);
  void OpenContextMenuAtSelection();
  void CreateChildren();
  void CreateTopPanel(const FormTexts& english);
  void CreatePanes(const FormTexts& english);
  void CreateMenuAndKeys(const FormTexts& english);
  void LoadImageLists();
  void Layout();

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HMENU popup_menu_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HWND image1_ = nullptr;
  HICON program_icon_ = nullptr;
  HBITMAP glyphs_[3] = {};
  // A design size in pixels at 96 pixels per inch, on this screen.
  int Scaled(int design) const { return MulDiv(design, dpi_, 96); }

  std::unique_ptr<KeyRouter> keys_;
  // The control that had the focus when the window was last left.
  HWND last_focus_ = nullptr;

  int dpi_ = 96;
  int browser_height_ = layout::kWebBrowserHeight;
  TForm1* form_ = nullptr;

  Win32FormWindow form_window_;
  Win32ImageList large_image_list_{layout::kLargeImageSize};
  Win32ImageList small_image_list_{layout::kSmallImageSize};
  Win32ListView list_view_;
  Win32Splitter splitter_;
  Win32WebBrowser web_browser_;
  Win32StatusBar status_bar_;
  Win32Label top_label_;
  Win32SpeedButton large_speed_button_;
  Win32SpeedButton small_speed_button_;
  Win32SpeedButton report_speed_button_;
  Win32MenuItem show_in_explorer_popupmenu_;
  Win32MessageDialog message_dialog_;
};

}  // namespace proclens::win32
