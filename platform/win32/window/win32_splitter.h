#pragma once
// The bar between the process list and the browser pane (Splitter2): a child
// window of its own class that the mouse drags up and down.

#include <functional>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

class Win32Splitter {
 public:
  Win32Splitter() = default;
  Win32Splitter(const Win32Splitter&) = delete;
  Win32Splitter& operator=(const Win32Splitter&) = delete;

  // Registers the bar's window class, once per program.
  static void RegisterClass(HINSTANCE instance);

  // The bar as a child of parent; on_drag is told where the mouse is, in the
  // parent's client coordinates, while the bar is dragged.
  void Create(HWND parent, int id, std::function<void(int y_in_parent)> on_drag);
  HWND handle() const { return bar_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND bar_ = nullptr;
  HWND parent_ = nullptr;
  std::function<void(int)> on_drag_;
};

}  // namespace proclens::win32
