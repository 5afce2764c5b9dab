#include "platform/win32/window/win32_key_router.h"

#include <algorithm>

namespace proclens::win32 {
namespace {

bool Usable(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }

bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

}  // namespace

HWND KeyRouter::StopHolding(HWND focus) const {
  for (HWND window = focus; window && window != stops_.window; window = GetParent(window)) {
    if (window == stops_.list || window == stops_.pane || IsViewButton(window)) return window;
  }
  return nullptr;
}

bool KeyRouter::IsViewButton(HWND window) const {
  return window && std::find(stops_.view_buttons.begin(), stops_.view_buttons.end(), window) !=
                       stops_.view_buttons.end();
}

// The view-style buttons are one stop, reached at the pressed button.
std::vector<HWND> KeyRouter::TabStops() const {
  std::vector<HWND> stops;
  HWND pressed = nullptr;
  for (HWND button : stops_.view_buttons) {
    if (!pressed && Usable(button)) pressed = button;
    if (Usable(button) && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      pressed = button;
      break;
    }
  }
  for (HWND stop : {pressed, stops_.list, stops_.pane}) {
    if (Usable(stop)) stops.push_back(stop);
  }
  return stops;
}

void KeyRouter::MoveFocus(HWND from, bool backwards) {
  const std::vector<HWND> stops = TabStops();
  if (stops.empty()) return;
  const auto size = static_cast<std::ptrdiff_t>(stops.size());
  // Any of the view-style buttons stands for their stop.
  const auto same_stop = [this, from](HWND stop) {
    return stop == from || (IsViewButton(from) && IsViewButton(stop));
  };
  const auto found = std::find_if(stops.begin(), stops.end(), same_stop);
  const std::ptrdiff_t at = found == stops.end() ? -1 : found - stops.begin();
  // From nowhere (the window itself), Tab starts at the first stop and Shift+Tab at the last.
  const std::ptrdiff_t next = at < 0 ? (backwards ? size - 1 : 0) : (at + (backwards ? size - 1 : 1)) % size;
  SetFocus(stops[static_cast<std::size_t>(next)]);
}

// As in a group of radio buttons: the next button in that direction, round
// the group, takes the focus and is pressed.
void KeyRouter::MoveAmongViewButtons(HWND from, bool backwards) {
  const auto& buttons = stops_.view_buttons;
  const auto at = std::find(buttons.begin(), buttons.end(), from) - buttons.begin();
  const auto size = static_cast<std::ptrdiff_t>(buttons.size());
  for (std::ptrdiff_t step = 1; step < size; ++step) {
    const HWND next = buttons[static_cast<std::size_t>((at + (backwards ? size - step : step)) % size)];
    if (!Usable(next)) continue;
    SetFocus(next);
    SendMessageW(next, BM_CLICK, 0, 0);
    return;
  }
}

bool KeyRouter::Route(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  const HWND focus = GetFocus();
  if (focus != stops_.window && !IsChild(stops_.window, focus)) return false;  // another window's key
  const HWND stop = StopHolding(focus);
  if (stop == stops_.pane && page_keys_ && page_keys_(message)) return true;
  if (message.message != WM_KEYDOWN) return false;
  switch (message.wParam) {
    case VK_TAB:
      MoveFocus(stop, ShiftDown());
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (!IsViewButton(stop)) return false;
      MoveAmongViewButtons(stop, message.wParam == VK_LEFT || message.wParam == VK_UP);
      return true;
    default:
      return false;
  }
}

}  // namespace proclens::win32
