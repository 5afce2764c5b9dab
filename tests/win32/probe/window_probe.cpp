// Reads the proclens.exe window from another process, the way window spies
// and automation tools read a program they do not own: window texts and
// rectangles, the list view's rows and columns through buffers placed in the
// program's memory, the focus from the thread's GUI state, the message box
// and the clipboard. The tests of the window under Wine ask it instead of
// hooks inside the program.
//
//   proclens_window_probe.exe watch FILE   a reading every 100 ms, FILE
//                                          rewritten whenever it changed,
//                                          until the window has gone
//
// FILE holds tab-separated UTF-8 records:
//   view Report|LargeIcons|SmallIcons
//   client WIDTH HEIGHT        vscroll WIDTH
//   top_label TEXT             (a carriage return written as \r)
//   column INDEX CAPTION WIDTH
//   button large|small|report LEFT TOP WIDTH   (client coordinates)
//   panes LIST_TOP LIST_HEIGHT BROWSER_TOP BROWSER_HEIGHT
//   status TEXT
//   focus list|pane|large|small|report|window|other
//   menu                       a context menu of the program is on show
//   box LEFT TOP WIDTH HEIGHT SCREEN_WIDTH TEXT   a message box on show, and
//                              its text as selecting all of it and copying it
//                              puts it on the clipboard
//   item CAPTION PATH IMAGE    one per row, in the list's order

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr UINT kTimeoutMs = 2000;
constexpr std::size_t kTextRoom = 4096;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Field(const std::wstring& text) {
  std::string out;
  for (char c : Utf8(text)) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[kTextRoom] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, kTextRoom, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      kTimeoutMs, &copied);
  return std::wstring(text, std::min<std::size_t>(copied, kTextRoom - 1));
}

RECT RectIn(HWND window, HWND parent) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kTimeoutMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

// A buffer in the window's process, for the messages whose pointers the
// control fills in its own memory.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    return offset + size <= size_ && WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  bool Read(std::size_t offset, void* data, std::size_t size) const {
    return offset + size <= size_ && ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }
  // The room for a text, emptied, so that a message that writes nothing reads as nothing.
  wchar_t* EmptyText(std::size_t offset) const {
    const wchar_t none = 0;
    Write(offset, &none, sizeof(none));
    return reinterpret_cast<wchar_t*>(at(offset));
  }
  std::wstring ReadText(std::size_t offset, std::size_t characters) const {
    std::wstring text(characters, L'\0');
    if (!Read(offset, text.data(), characters * sizeof(wchar_t))) return {};
    text.resize(wcsnlen(text.c_str(), characters));
    return text;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  std::size_t size_;
};

constexpr std::size_t kStructRoom = 256;  // room for the structure before its text

// Sends a list view message whose structure (LVITEMW or LVCOLUMNW) asks for
// a text, and reads the text and the structure back.
template <typename Info>
std::wstring ListText(HWND list, UINT message, WPARAM wparam, Info& info, RemoteBuffer& buffer) {
  info.pszText = buffer.EmptyText(kStructRoom);
  info.cchTextMax = static_cast<int>(kTextRoom);
  if (!buffer.Write(0, &info, sizeof(info)) ||
      Send(list, message, wparam, reinterpret_cast<LPARAM>(buffer.at(0))) <= 0 || !buffer.Read(0, &info, sizeof(info))) {
    return {};
  }
  return buffer.ReadText(kStructRoom, kTextRoom);
}

std::wstring ItemText(HWND list, int row, int column, RemoteBuffer& buffer, int* image = nullptr) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | (image ? LVIF_IMAGE : 0);
  item.iItem = row;
  item.iSubItem = column;
  const std::wstring text = ListText(list, LVM_GETITEMW, 0, item, buffer);
  if (image) *image = item.iImage;
  return text;
}

std::wstring ColumnCaption(HWND list, int column, RemoteBuffer& buffer) {
  LVCOLUMNW info = {};
  info.mask = LVCF_TEXT;
  return ListText(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), info, buffer);
}

// The text of a status bar in simple mode; Wine's answers for the first part.
std::wstring SimpleStatusText(HWND bar, RemoteBuffer& buffer) {
  for (const WPARAM part : {WPARAM{SB_SIMPLEID}, WPARAM{0}}) {
    if (Send(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer.EmptyText(kStructRoom))) < 0) continue;
    const std::wstring text = buffer.ReadText(kStructRoom, kTextRoom);
    if (!text.empty()) return text;
  }
  return {};
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows([](HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND MainWindow() {
  for (HWND window : TopLevelWindows()) {
    if (IsWindowVisible(window) && ClassOf(window) == L"ProcLensMainWindow") return window;
  }
  return nullptr;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
  return children;
}

// Selects the whole text of the box, copies it as the user would and reads
// the clipboard back.
std::wstring CopiedWhole(HWND edit) {
  Send(edit, EM_SETSEL, 0, -1);
  Send(edit, WM_COPY, 0, 0);
  std::wstring copied;
  if (!OpenClipboard(nullptr)) return copied;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      copied = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  Send(edit, EM_SETSEL, 0, 0);
  return copied;
}

// The program's message box and context menu on show. The menu's items
// cannot be read from another process under Wine: neither the menu nor MSAA
// gives them.
void AddPopups(HWND main, std::string& out) {
  DWORD main_pid = 0, pid = 0;
  GetWindowThreadProcessId(main, &main_pid);
  for (HWND window : TopLevelWindows()) {
    GetWindowThreadProcessId(window, &pid);
    if (!IsWindowVisible(window) || pid != main_pid) continue;
    if (ClassOf(window) == L"#32768") out += "menu\n";
    if (ClassOf(window) != L"#32770" || GetWindow(window, GW_OWNER) != main) continue;
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::wstring copied;
    for (HWND child : ChildrenOf(window)) {
      if (ClassOf(child) != L"Edit" && ClassOf(child) != L"EDIT") continue;
      // Once per box: the clipboard is the user's.
      static std::map<HWND, std::wstring> copied_before;
      const auto known = copied_before.find(child);
      copied = known != copied_before.end() ? known->second : (copied_before[child] = CopiedWhole(child));
    }
    out += "box\t" + std::to_string(rect.left) + "\t" + std::to_string(rect.top) + "\t" +
           std::to_string(rect.right - rect.left) + "\t" + std::to_string(rect.bottom - rect.top) + "\t" +
           std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "\t" + Field(copied) + "\n";
  }
}

std::string Reading() {
  const HWND main = MainWindow();
  if (!main) return {};
  HWND list = nullptr, pane = nullptr, bar = nullptr, label = nullptr;
  std::vector<HWND> buttons;
  for (HWND child : ChildrenOf(main)) {
    const std::wstring name = ClassOf(child);
    if (name == L"SysListView32") list = child;
    else if (name == L"ProcLensBrowserPane") pane = child;
    else if (name == L"msctls_statusbar32") bar = child;
    else if (name == L"Button") buttons.push_back(child);
    else if (name == L"Static" && !(GetWindowLongW(child, GWL_STYLE) & SS_ICON)) label = child;
  }
  if (!list) return {};
  std::sort(buttons.begin(), buttons.end(),
            [main](HWND a, HWND b) { return RectIn(a, main).left < RectIn(b, main).left; });
  RemoteBuffer buffer(list, kStructRoom + kTextRoom * sizeof(wchar_t));
  if (!buffer.ok()) return {};

  std::string out;
  const LRESULT view = Send(list, LVM_GETVIEW, 0, 0);
  out += std::string("view\t") + (view == LV_VIEW_ICON ? "LargeIcons" : view == LV_VIEW_SMALLICON ? "SmallIcons" : "Report") + "\n";
  RECT client = {};
  GetClientRect(main, &client);
  out += "client\t" + std::to_string(client.right) + "\t" + std::to_string(client.bottom) + "\n";
  out += "vscroll\t" + std::to_string(GetSystemMetrics(SM_CXVSCROLL)) + "\n";
  out += "top_label\t" + Field(label ? TextOf(label) : L"") + "\n";
  const HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int column = 0; column < columns; ++column) {
    out += "column\t" + std::to_string(column) + "\t" + Field(ColumnCaption(list, column, buffer)) + "\t" +
           std::to_string(Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)) + "\n";
  }
  const char* names[] = {"large", "small", "report"};
  for (std::size_t i = 0; i < buttons.size() && i < 3; ++i) {
    const RECT rect = RectIn(buttons[i], main);
    out += std::string("button\t") + names[i] + "\t" + std::to_string(rect.left) + "\t" + std::to_string(rect.top) +
           "\t" + std::to_string(rect.right - rect.left) + "\n";
  }
  const RECT list_rect = RectIn(list, main);
  const RECT pane_rect = pane ? RectIn(pane, main) : RECT{};
  out += "panes\t" + std::to_string(list_rect.top) + "\t" + std::to_string(list_rect.bottom - list_rect.top) + "\t" +
         std::to_string(pane_rect.top) + "\t" + std::to_string(pane_rect.bottom - pane_rect.top) + "\n";
  out += "status\t" + Field(bar ? SimpleStatusText(bar, buffer) : L"") + "\n";

  GUITHREADINFO gui = {};
  gui.cbSize = sizeof(gui);
  GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui);
  std::string focus = gui.hwndFocus == main ? "window" : "other";
  for (HWND at = gui.hwndFocus; at && at != main && focus == "other"; at = GetParent(at)) {
    if (at == list) focus = "list";
    if (at == pane) focus = "pane";
    for (std::size_t i = 0; i < buttons.size() && i < 3; ++i) {
      if (at == buttons[i]) focus = names[i];
    }
  }
  out += "focus\t" + focus + "\n";
  AddPopups(main, out);

  const int rows = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    int image = -1;
    const std::wstring caption = ItemText(list, row, 0, buffer, &image);
    const std::wstring path = ItemText(list, row, 1, buffer);
    out += "item\t" + Field(caption) + "\t" + Field(path) + "\t" + std::to_string(image) + "\n";
  }
  return out;
}

// Written beside the file and renamed over it, so a reader never sees half.
bool Save(const std::string& text, const std::string& file) {
  const std::string partial = file + ".partial";
  FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  std::fclose(out);
  return written && MoveFileExA(partial.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::string(argv[1]) != "watch") {
    std::fprintf(stderr, "usage: %s watch FILE\n", argv[0]);
    return 2;
  }
  const std::string file = argv[2];
  // Ends once the window it read has been gone for a second.
  std::string last;
  int missed = 0;
  while (last.empty() || missed < 10) {
    const std::string reading = Reading();
    missed = reading.empty() ? missed + 1 : 0;
    if (!reading.empty() && reading != last && Save(reading, file)) last = reading;
    Sleep(100);
  }
  return 0;
}
