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
// The edit control wraps a word in time growing with the square of its
// length: a longer word is shown in pieces, each ended by a soft line break,
// which copying takes out again.
constexpr std::size_t kLongestWholeWord = 2000;
constexpr std::size_t kShownPiece = 500;
constexpr wchar_t kSoftBreak[] = L"\r\r\n";

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

// The clipboard, open for as long as the owner holds it.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

// Ctrl+C and the text's own menu copy the selection as the text has it.
void CopySelection(HWND text) {
  DWORD start = 0, end = 0;
  SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int length = GetWindowTextLengthW(text);
  std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
  shown.resize(static_cast<std::size_t>(GetWindowTextW(text, shown.data(), length + 1)));
  if (start >= end || end > shown.size()) return;
  const std::wstring copied = WithoutSoftBreaks(shown.substr(start, end - start));
  const OpenedClipboard clipboard(text);
  if (!clipboard.open() || !EmptyClipboard()) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (copied.size() + 1) * sizeof(wchar_t));
  void* bytes = memory ? GlobalLock(memory) : nullptr;
  if (bytes == nullptr) {
    if (memory) GlobalFree(memory);
    return;
  }
  std::copy(copied.c_str(), copied.c_str() + copied.size() + 1, static_cast<wchar_t*>(bytes));
  GlobalUnlock(memory);
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);  // the clipboard owns it otherwise
}

LRESULT CALLBACK TextProc(HWND text, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COPY) {
    CopySelection(text);
    return 0;
  }
  const auto edit = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(text, GWLP_USERDATA));
  return CallWindowProcW(edit, text, message, wparam, lparam);
}

HWND MakeTextControl(HWND dialog, const BoxState& state, int width, int height, bool scrolls) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL |
                      (scrolls ? WS_VSCROLL : 0);
  HWND text = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, width, height, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  SendMessageW(text, EM_SETLIMITTEXT, 0, 0);  // no cut below the system's own limit
  SetWindowTextW(text, WithSoftBreaks(state.text).c_str());
  SetWindowLongPtrW(text, GWLP_USERDATA, SetWindowLongPtrW(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextProc)));
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

std::wstring WithSoftBreaks(const std::wstring& text) {
  std::wstring shown;
  shown.reserve(text.size() + text.size() / kShownPiece * 3);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t word_end = std::min(text.find_first_of(L" \t\r\n", at), text.size());
    const bool long_word = word_end - at > kLongestWholeWord;
    for (std::size_t piece = at; piece < word_end; piece += kShownPiece) {
      if (long_word && piece > at) shown += kSoftBreak;
      shown.append(text, piece, std::min(kShownPiece, word_end - piece));
    }
    const std::size_t blanks_end = std::min(text.find_first_not_of(L" \t\r\n", word_end), text.size());
    shown.append(text, word_end, blanks_end - word_end);
    at = blanks_end;
  }
  return shown;
}

std::wstring WithoutSoftBreaks(const std::wstring& shown) {
  std::wstring text;
  text.reserve(shown.size());
  for (std::size_t at = 0; at < shown.size();) {
    if (shown.compare(at, 3, kSoftBreak) == 0) {
      at += 3;
      continue;
    }
    text += shown[at++];
  }
  return text;
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
