#include "platform/win32/window/win32_small_controls.h"

#include <vector>

namespace proclens::win32 {

RECT ChildRect(HWND child) {
  RECT rect = {};
  if (!child) return rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void MoveChildLeft(HWND child, int left) {
  const RECT rect = ChildRect(child);
  SetWindowPos(child, nullptr, left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NamePictureControl(HWND picture, const std::string& name) {
  DefWindowProcA(picture, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void Win32StatusBar::SetSimpleMode(bool simple) {
  SendMessageA(bar_, SB_SIMPLE, simple ? TRUE : FALSE, 0);
}

bool Win32StatusBar::SimpleMode() const { return SendMessageA(bar_, SB_ISSIMPLE, 0, 0) != 0; }

void Win32StatusBar::SetText(const std::string& text) {
  text_ = text;
  const WPARAM part = SimpleMode() ? SB_SIMPLEID : 0;
  SendMessageA(bar_, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text_.c_str()));
}

void Win32Label::SetText(const std::string& text) {
  text_ = text;
  SetWindowTextA(label_, text_.c_str());
  if (auto_size_) FitToText();
}

void Win32Label::SetAutoSize(bool on) {
  auto_size_ = on;
  if (on) FitToText();
}

void Win32Label::Repaint() {
  InvalidateRect(label_, nullptr, TRUE);
  UpdateWindow(label_);
}

void Win32Label::FitToText() {
  HDC dc = GetDC(label_);
  if (!dc) return;
  HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label_, WM_GETFONT, 0, 0)));
  RECT needed = {0, 0, 0, 0};
  // DrawText breaks lines at a carriage return alone, as the headline needs.
  std::vector<char> text(text_.begin(), text_.end());
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old_font);
  ReleaseDC(label_, dc);
  SetWindowPos(label_, nullptr, 0, 0, needed.right, needed.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Label::Width() const {
  const RECT rect = ChildRect(label_);
  return rect.right - rect.left;
}

int Win32Label::Height() const {
  const RECT rect = ChildRect(label_);
  return rect.bottom - rect.top;
}

int Win32SpeedButton::Width() const {
  const RECT rect = ChildRect(button_);
  return rect.right - rect.left;
}

bool Win32SpeedButton::Down() const {
  return SendMessageA(button_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32SpeedButton::SetDown(bool down) {
  SendMessageA(button_, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string Win32MenuItem::Caption() const {
  char caption[256] = {};
  const int length = GetMenuStringA(menu_, command_, caption, sizeof(caption), MF_BYCOMMAND);
  return std::string(caption, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32MenuItem::SetCaption(const std::string& caption) {
  MENUITEMINFOA item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STRING;
  item.dwTypeData = const_cast<char*>(caption.c_str());
  SetMenuItemInfoA(menu_, command_, FALSE, &item);
}

void Win32FormWindow::SetOuterSize(int width, int height) {
  SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormWindow::SetPosition(int left, int top) {
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32FormWindow::ClientWidth() const {
  RECT client = {};
  GetClientRect(window_, &client);
  return client.right;
}

int Win32FormWindow::ClientHeight() const {
  RECT client = {};
  GetClientRect(window_, &client);
  return client.bottom;
}

}  // namespace proclens::win32
