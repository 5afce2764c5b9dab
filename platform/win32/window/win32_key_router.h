#pragma once
// The main window's keyboard. Tab and Shift+Tab go round its three stops in
// their tab order, the view-style buttons, the list and the browser pane, as
// they would in a dialog; the arrows move within the view-style buttons. The
// control that has the focus keeps the keys that are its own: the list its
// arrows, Enter and menu key, and the browser pane every key its page takes
// (arrows, Enter, Tab between links), which it sees before the window does.

#include <functional>
#include <vector>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

struct KeyStops {
  HWND window = nullptr;
  std::vector<HWND> view_buttons;  // one group, left to right; the pressed one is the stop
  HWND list = nullptr;
  HWND pane = nullptr;  // the browser pane; the hosted control's windows lie inside it
};

class KeyRouter {
 public:
  // page_keys offers a key message to the hosted control (its in-place
  // object's TranslateAccelerator); true when the page used it.
  KeyRouter(KeyStops stops, std::function<bool(MSG&)> page_keys)
      : stops_(std::move(stops)), page_keys_(std::move(page_keys)) {}

  // A message of the loop; true when it was handled here and must not be
  // dispatched.
  bool Route(MSG& message);

 private:
  // The stop that holds a window: the stop itself or a window inside it.
  HWND StopHolding(HWND focus) const;
  bool IsViewButton(HWND window) const;
  std::vector<HWND> TabStops() const;
  void MoveFocus(HWND from, bool backwards);
  void MoveAmongViewButtons(HWND from, bool backwards);

  KeyStops stops_;
  std::function<bool(MSG&)> page_keys_;
};

}  // namespace proclens::win32
