#include "platform/win32/window/main_window.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "app/form_layout.h"
#include "app/form_texts.h"
#include "platform/win32/window/resource_ids.h"

namespace proclens::win32 {
namespace {

constexpr char kWindowClass[] = "ProcLensMainWindow";
constexpr int kDesignDpi = 96;  // the layout's sizes are pixels at this resolution

HWND CreateChild(HWND parent, const char* window_class, const char* text, DWORD style, int left,
                 int top, int width, int height, int id) {
  return CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, left, top, width,
                         height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

MainWindow* WindowOf(HWND window) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

// The design font, scaled from 96 pixels per inch to the screen's.
HFONT CreateDesignFont(int dpi) {
  return CreateFontA(-MulDiv(10, dpi, kDesignDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
}

void RegisterMainClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXA main = {};
  main.cbSize = sizeof(main);
  main.lpfnWndProc = procedure;
  main.hInstance = instance;
  main.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROCLENS));
  main.hIconSm = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROCLENS), IMAGE_ICON, 16, 16, 0));
  main.hCursor = LoadCursor(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = kWindowClass;
  RegisterClassExA(&main);
}

}  // namespace

MainWindow::~MainWindow() {
  web_browser_.Close();
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (popup_menu_) DestroyMenu(popup_menu_);
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  if (font_) DeleteObject(font_);
  for (HBITMAP glyph : glyphs_) {
    if (glyph) DeleteObject(glyph);
  }
  if (program_icon_) DestroyIcon(program_icon_);
}

bool MainWindow::Create(HINSTANCE instance) {
  RegisterMainClass(instance, WindowProc);
  dpi_ = ScreenDpi();
  browser_height_ = Scaled(layout::kWebBrowserHeight);
  Win32Splitter::RegisterClass(instance);

  window_ = CreateWindowExA(0, kWindowClass, WindowCaption().c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, layout::kDesignLeft,
                            layout::kDesignTop, layout::kDesignWidth, layout::kDesignHeight,
                            nullptr, nullptr, instance, this);
  if (!window_) return false;
  form_window_.Attach(window_);
  message_dialog_.Attach(window_);
  CreateChildren();
  Layout();
  return true;
}

void MainWindow::CreateChildren() {
  font_ = CreateDesignFont(dpi_);
  const FormTexts& english = EnglishFormTexts();
  CreateTopPanel(english);
  CreatePanes(english);
  CreateMenuAndKeys(english);
}

// The logo, the headline and the view-style buttons.
void MainWindow::CreateTopPanel(const FormTexts& english) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  program_icon_ = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROCLENS), IMAGE_ICON, 32, 32, 0));
  image1_ = CreateChild(window_, "STATIC", "", SS_ICON | SS_NOTIFY, Scaled(layout::kImage1Left),
                        Scaled(layout::kImage1Top), layout::kImage1Size, layout::kImage1Size,
                        IDC_IMAGE1);
  SendMessageA(image1_, STM_SETICON, reinterpret_cast<WPARAM>(program_icon_), 0);
  NamePictureControl(image1_, SiteName());  // the logo is called by the site's name

  HWND label = CreateChild(window_, "STATIC", "", SS_LEFT | SS_NOPREFIX,
                           Scaled(layout::kTopLabelLeft), Scaled(layout::kTopLabelTop),
                           Scaled(layout::kTopLabelWidth), Scaled(layout::kTopLabelHeight),
                           IDC_TOP_LABEL);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  top_label_.Attach(label);
  top_label_.SetText(english.top_label);

  // One group of push-like radio buttons: pressing one releases the others.
  const struct {
    Win32SpeedButton& button;
    int id;
    int glyph;
    int width;
  } buttons[] = {
      {large_speed_button_, IDC_LARGE_SPEED_BUTTON, IDB_VIEW_LARGE, layout::kLargeSpeedButtonWidth},
      {small_speed_button_, IDC_SMALL_SPEED_BUTTON, IDB_VIEW_SMALL, layout::kSmallSpeedButtonWidth},
      {report_speed_button_, IDC_REPORT_SPEED_BUTTON, IDB_VIEW_REPORT,
       layout::kReportSpeedButtonWidth}};
  int index = 0;
  for (const auto& design : buttons) {
    const DWORD group = index == 0 ? WS_GROUP : 0;
    HWND button = CreateChild(window_, "BUTTON", "",
                              BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_BITMAP | BS_FLAT | group, 0,
                              Scaled(layout::kSpeedButtonTop), Scaled(design.width),
                              Scaled(layout::kSpeedButtonHeight),
                              design.id);
    glyphs_[index] = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(design.glyph), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyphs_[index]));
    design.button.Attach(button);
    ++index;
  }
  report_speed_button_.SetDown(true);
}

// The process list, the bar below it, the browser pane and the status bar.
void MainWindow::CreatePanes(const FormTexts& english) {
  LoadImageLists();
  std::vector<ListColumn> columns;
  for (std::size_t i = 0; i < layout::kColumns.size(); ++i) {
    columns.push_back({english.column_captions[i].c_str(), Scaled(layout::kColumns[i].width),
                       layout::kColumns[i].alignment});
  }
  list_view_.Create(window_, IDC_LIST_VIEW, large_image_list_.handle(), small_image_list_.handle(),
                    columns);
  SendMessageA(list_view_.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  splitter_.Create(window_, IDC_SPLITTER2, [this](int y_in_client) { OnSplitterDrag(y_in_client); });
  web_browser_.Create(window_, IDC_WEB_BROWSER);

  HWND bar = CreateChild(window_, STATUSCLASSNAMEA, "", 0, 0, 0, 0, 0, IDC_STATUS_BAR);
  SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  status_bar_.Attach(bar);
}

// F5, the round of Tab stops, and the context menu.
void MainWindow::CreateMenuAndKeys(const FormTexts& english) {
  // F5 brings the list up to date wherever the focus is.
  ACCEL refresh = {FVIRTKEY, VK_F5, IDM_REFRESH};
  accelerators_ = CreateAcceleratorTableA(&refresh, 1);

  keys_ = std::make_unique<KeyRouter>(
      KeyStops{window_,
               {large_speed_button_.handle(), small_speed_button_.handle(), report_speed_button_.handle()},
               list_view_.handle(),
               web_browser_.pane()},
      [this](MSG& message) { return web_browser_.TranslateKey(message); });

  popup_menu_ = CreatePopupMenu();
  AppendMenuA(popup_menu_, MF_STRING, IDM_SHOW_IN_EXPLORER,
              english.show_in_explorer_popupmenu.c_str());
  show_in_explorer_popupmenu_.Attach(popup_menu_, IDM_SHOW_IN_EXPLORER);
}

// Both lists start with the system-process emblem (0) and the missing-file picture (1).
void MainWindow::LoadImageLists() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (int id : {IDI_SYSTEM_PROCESS, IDI_MISSING_FILE}) {
    for (auto [list, size] : {std::pair{&large_image_list_, layout::kLargeImageSize},
                              std::pair{&small_image_list_, layout::kSmallImageSize}}) {
      HICON icon = static_cast<HICON>(
          LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      list->AddIconHandle(icon);
      if (icon) DestroyIcon(icon);
    }
  }
}

FormControls MainWindow::Controls() {
  return FormControls{form_window_,         list_view_,          large_image_list_,
                      small_image_list_,    web_browser_,        status_bar_,
                      top_label_,           large_speed_button_, small_speed_button_,
                      report_speed_button_, show_in_explorer_popupmenu_, message_dialog_};
}

void MainWindow::Attach(TForm1& form) {
  form_ = &form;
  web_browser_.dispatch = [this](const std::function<void()>& handler) { Dispatch(handler); };
  // The form has missed the sizes the window got while it was being built.
  Dispatch([this] { form_->FormResize(); });
}

void MainWindow::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    message_dialog_.ShowModal(WindowCaption(), failure.what());
  }
}

void MainWindow::OpenContextMenuAtSelection() {
  POINT at = {0, 0};
  const int row = ListView_GetNextItem(list_view_.handle(), -1, LVNI_SELECTED);
  RECT item = {};
  if (row >= 0 && ListView_GetItemRect(list_view_.handle(), row, &item, LVIR_LABEL)) {
    at = {item.left, item.bottom};
  }
  ClientToScreen(list_view_.handle(), &at);
  TrackPopupMenu(popup_menu_, 0, at.x, at.y, 0, window_, nullptr);
}

bool MainWindow::TranslateKeys(MSG& message) {
  if (accelerators_ && TranslateAcceleratorA(window_, accelerators_, &message)) return true;
  return keys_ && keys_->Route(message);
}

// As a dialog does: the control that had the focus gets it back when the
// window is active again (after the message box, say).
void MainWindow::OnActivate(WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) last_focus_ = focus;
  } else if (last_focus_ && IsWindow(last_focus_) && IsChild(window_, last_focus_)) {
    SetFocus(last_focus_);
  } else {
    SetFocus(list_view_.handle());
  }
}

void MainWindow::Layout() {
  RECT client = {};
  GetClientRect(window_, &client);
  const int width = client.right;
  const int height = client.bottom;
  HWND bar = GetDlgItem(window_, IDC_STATUS_BAR);
  SendMessageA(bar, WM_SIZE, 0, 0);  // the status bar places itself at the bottom
  const RECT bar_rect = ChildRect(bar);
  const int bar_height = bar_rect.bottom - bar_rect.top;

  // The list takes what the others leave; the browser keeps its height while it fits.
  const int top = Scaled(layout::kTopPanelHeight);
  const int splitter = Scaled(layout::kSplitterHeight);
  const int room = std::max(0, height - top - splitter - bar_height);
  const int browser_height = std::min(browser_height_, room);
  const int list_height = room - browser_height;
  MoveWindow(list_view_.handle(), 0, top, width, list_height, TRUE);
  MoveWindow(splitter_.handle(), 0, top + list_height, width, splitter, TRUE);
  web_browser_.Place(0, top + list_height + splitter, width, browser_height);
}

void MainWindow::OnSplitterDrag(int y_in_client) {
  RECT client = {};
  GetClientRect(window_, &client);
  const RECT bar_rect = ChildRect(GetDlgItem(window_, IDC_STATUS_BAR));
  const int bar_top = bar_rect.top;
  const int splitter = Scaled(layout::kSplitterHeight);
  const int room = std::max(0, bar_top - Scaled(layout::kTopPanelHeight) - splitter);
  browser_height_ = std::clamp(bar_top - y_in_client - splitter / 2, 0, room);
  Layout();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  MainWindow* self = WindowOf(window);
  if (!self) return DefWindowProcA(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT MainWindow::OnNotify(NMHDR& header) {
  if (header.hwndFrom == list_view_.handle() && list_view_.AnswerInfoTip(header)) return 0;
  if (form_ && header.hwndFrom == list_view_.handle() && header.code == NM_CLICK) {
    Dispatch([this] { form_->ListViewClick(); });
    return 0;
  }
  if (form_ && header.hwndFrom == list_view_.handle() && header.code == LVN_COLUMNCLICK) {
    const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
    Dispatch([this, column] { form_->ListViewColumnClick(column); });
    return 0;
  }
  if (form_ && header.hwndFrom == list_view_.handle() && header.code == NM_RETURN) {
    Dispatch([this] { form_->ListViewClick(); });  // Enter does what a click does
    return 0;
  }
  if (header.hwndFrom == list_view_.handle() && header.code == NM_RCLICK) {
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(popup_menu_, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window_, nullptr);
    return TRUE;  // handled: the list sends no WM_CONTEXTMENU after it
  }
  if (header.code == HDN_ITEMCHANGINGA || header.code == HDN_ITEMCHANGINGW) {
    // Both header forms carry the item first and its width first in HDITEM.
    const auto& change = reinterpret_cast<const NMHEADERA&>(header);
    if (change.pitem && (change.pitem->mask & HDI_WIDTH) &&
        !list_view_.AcceptsColumnWidth(change.iItem, change.pitem->cxy)) {
      return TRUE;
    }
  }
  return 0;
}

void MainWindow::OnCommand(int id) {
  if (!form_) return;
  switch (id) {
    case IDC_LARGE_SPEED_BUTTON: Dispatch([this] { form_->LargeSpeedButtonClick(); }); break;
    case IDC_SMALL_SPEED_BUTTON: Dispatch([this] { form_->SmallSpeedButtonClick(); }); break;
    case IDC_REPORT_SPEED_BUTTON: Dispatch([this] { form_->ReportSpeedButtonClick(); }); break;
    case IDM_SHOW_IN_EXPLORER: Dispatch([this] { form_->ShowInExplorerPopupmenuClick(); }); break;
    case IDC_IMAGE1: Dispatch([this] { form_->Image1Click(); }); break;  // STN_CLICKED
    case IDM_REFRESH: Dispatch([this] { form_->RefreshProcessList(); }); break;
    default: break;
  }
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      if (form_) Dispatch([this] { form_->FormResize(); });
      return 0;
    case WM_ACTIVATE:
      OnActivate(wparam);
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lparam));
    case WM_CONTEXTMENU:
      // From the keyboard (the context-menu key, Shift+F10) the position is
      // -1, -1: the menu opens beside the selected item.
      if (reinterpret_cast<HWND>(wparam) == list_view_.handle() && lparam == -1) {
        OpenContextMenuAtSelection();
        return 0;
      }
      break;
    case WM_COMMAND:
      // Buttons and menus send 0 (BN_CLICKED), the accelerator table 1.
      if (HIWORD(wparam) == BN_CLICKED || HIWORD(wparam) == 1) OnCommand(LOWORD(wparam));
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == image1_) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      if (form_) Dispatch([this] { form_->FormClose(); });
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      web_browser_.Close();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

}  // namespace proclens::win32
