#include "platform/win32/window/win32_message_box.h"

#include <algorithm>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace proclens::win32 {
namespace {

constexpr int kTextId = 100;
// Pixels at 96 pixels per inch, scaled to the screen.
constexpr int kMargin = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kNarrowestText = 260;

// A dialog without controls in its template: they are made, and measured in
// pixels, when it starts.
struct alignas(4) EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD window_class = 0;
  WORD title = 0;
};

struct BoxState {
  std::wstring caption;
  std::wstring text;
  FontHandle own_font;
  HFONT font = nullptr;  // own_font, or the stock one without it
};

struct Layout {
  int scale_dpi = 96;
  int Scaled(int pixels) const { return MulDiv(pixels, scale_dpi, 96); }
};

RECT WorkAreaOf(HWND window) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return monitor.rcWork;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

FontHandle MessageFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return FontHandle();
  return FontHandle(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The width of the text's longest line, unbroken, in the font.
int LongestLineWidth(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  if (!dc) return 0;
  HGDIOBJ previous = SelectObject(dc, font);
  RECT box = {0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return box.right - box.left;
}

int LineHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  if (!dc) return 16;
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return metrics.tmHeight > 0 ? metrics.tmHeight : 16;
}

HWND MakeTextControl(HWND dialog, const BoxState& state, int width, int height, bool scrolls) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL |
                      (scrolls ? WS_VSCROLL : 0);
  HWND text = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, width, height, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  SetWindowTextW(text, state.text.c_str());
  return text;
}

// Places the text and the button and sizes the box around them: the text as
// wide as its longest line, at most five eighths of the work area (as the
// system's box does), and no taller than two thirds of it.
void LayOut(HWND dialog, BoxState& state) {
  const Layout layout{[dialog] {
    HDC dc = GetDC(dialog);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(dialog, dc);
    return dpi > 0 ? dpi : 96;
  }()};
  const RECT work = WorkAreaOf(GetWindow(dialog, GW_OWNER) ? GetWindow(dialog, GW_OWNER) : dialog);
  const int work_width = work.right - work.left;
  const int work_height = work.bottom - work.top;
  const int margin = layout.Scaled(kMargin);
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int frame_width = frame.right - frame.left;
  const int frame_height = frame.bottom - frame.top;
  const int scroll_bar = GetSystemMetrics(SM_CXVSCROLL);

  // Room the edit control keeps for itself beside the text.
  const int slack = layout.Scaled(8);
  const int widest = std::max(1, work_width - frame_width - 2 * margin - scroll_bar);
  const int preferred = std::max(layout.Scaled(kNarrowestText), work_width * 5 / 8);
  const int wanted = LongestLineWidth(dialog, state.font, state.text) + slack;
  const int width = std::min({wanted, preferred, widest});
  const int highest = std::max(1, work_height * 2 / 3);

  HWND text = MakeTextControl(dialog, state, width, highest, false);
  const int line_height = LineHeight(dialog, state.font);
  const int lines = static_cast<int>(SendMessageW(text, EM_GETLINECOUNT, 0, 0));
  int height = std::max(1, lines) * line_height + layout.Scaled(4);
  if (height > highest) {
    DestroyWindow(text);
    height = highest;
    text = MakeTextControl(dialog, state, width + scroll_bar, height, true);
  }
  RECT text_box = {};
  GetWindowRect(text, &text_box);
  const int text_width = text_box.right - text_box.left;
  MoveWindow(text, margin, margin, text_width, height, FALSE);

  const int button_width = layout.Scaled(kButtonWidth);
  const int button_height = layout.Scaled(kButtonHeight);
  const int client_width = std::max(text_width, button_width) + 2 * margin;
  const int client_height = margin + height + margin + button_height + margin;
  HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                            (client_width - button_width) / 2, client_height - margin - button_height,
                            button_width, button_height, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), GetModuleHandleW(nullptr),
                            nullptr);
  SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);

  // Centred on the work area; a box taller than it shows its top.
  const int outer_width = std::min(client_width + frame_width, work_width);
  const int outer_height = client_height + frame_height;
  const int left = work.left + (work_width - outer_width) / 2;
  const int top = work.top + std::max(0, (work_height - outer_height) / 2);
  SetWindowPos(dialog, nullptr, left, top, outer_width, outer_height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(ok);  // Return and Esc close the box, as they close the system's
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<BoxState*>(lparam);
      SetWindowTextW(dialog, state->caption.c_str());
      LayOut(dialog, *state);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::wstring WithEditLineBreaks(const std::wstring& text) {
  std::wstring result;
  result.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      result += L"\r\n";
    } else {
      result += text[i];
    }
  }
  return result;
}

void ShowMessageBox(HWND owner, const std::string& caption, const std::string& text) {
  BoxState state{WideFromNarrow(caption), WithEditLineBreaks(WideFromNarrow(text)), MessageFont()};
  state.font = state.own_font ? state.own_font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  EmptyDialogTemplate box = {};
  box.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &box.header, owner, BoxProc,
                          reinterpret_cast<LPARAM>(&state));
}

}  // namespace proclens::win32
