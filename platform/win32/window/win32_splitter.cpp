#include "platform/win32/window/win32_splitter.h"

namespace proclens::win32 {
namespace {

constexpr char kSplitterClass[] = "ProcLensSplitter";

}  // namespace

void Win32Splitter::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXA splitter = {};
  splitter.cbSize = sizeof(splitter);
  splitter.lpfnWndProc = Procedure;
  splitter.hInstance = instance;
  splitter.hCursor = LoadCursor(nullptr, IDC_SIZENS);
  splitter.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  splitter.lpszClassName = kSplitterClass;
  RegisterClassExA(&splitter);
}

void Win32Splitter::Create(HWND parent, int id, std::function<void(int)> on_drag) {
  parent_ = parent;
  on_drag_ = std::move(on_drag);
  bar_ = CreateWindowExA(0, kSplitterClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(bar_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK Win32Splitter::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<Win32Splitter*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_LBUTTONDOWN:
      SetCapture(window);
      return 0;
    case WM_LBUTTONUP:
      ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE:
      if (self && self->on_drag_ && GetCapture() == window) {
        POINT point = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        MapWindowPoints(window, self->parent_, &point, 1);
        self->on_drag_(point.y);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(dc, &rect, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
      DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace proclens::win32
