#pragma once
// The small controls of the main window over plain Win32 windows: status bar,
// headline label, view-style buttons, the context-menu item, the window's own
// size and place, screen metrics and the message box.

#include <string>

#include "app/controls.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/window/win32_message_box.h"

namespace proclens::win32 {

// Moves a child window to a new left edge, keeping its top and size.
void MoveChildLeft(HWND child, int left);
RECT ChildRect(HWND child);
// Gives a picture control (SS_ICON) the name a screen reader reads. The
// control itself would take a new text as the name of an icon resource to
// load, so the text is set past it, on the window.
void NamePictureControl(HWND picture, const std::string& name);

class Win32StatusBar : public StatusBar {
 public:
  void Attach(HWND bar) { bar_ = bar; }
  void SetSimpleMode(bool simple) override;
  bool SimpleMode() const override;
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }

 private:
  HWND bar_ = nullptr;
  std::string text_;
};

// A static text control; "\r" alone separates its lines.
class Win32Label : public Label {
 public:
  void Attach(HWND label) { label_ = label; }
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }
  void SetAutoSize(bool on) override;
  bool AutoSize() const override { return auto_size_; }
  void Repaint() override;
  int Width() const override;
  int Height() const override;

 private:
  void FitToText();

  HWND label_ = nullptr;
  std::string text_;
  bool auto_size_ = true;
};

// A push-like radio button: the group keeps exactly one of them down.
class Win32SpeedButton : public SpeedButton {
 public:
  void Attach(HWND button) { button_ = button; }
  HWND handle() const { return button_; }
  int Left() const override { return ChildRect(button_).left; }
  void SetLeft(int left) override { MoveChildLeft(button_, left); }
  int Top() const override { return ChildRect(button_).top; }
  int Width() const override;
  bool Down() const override;
  void SetDown(bool down) override;
  // The button shows only its glyph (BS_BITMAP); its window text is its name.
  void ShowAccessibleName(const std::string& name) override { SetWindowTextA(button_, name.c_str()); }

 private:
  HWND button_ = nullptr;
};

class Win32MenuItem : public MenuItem {
 public:
  void Attach(HMENU menu, UINT command) { menu_ = menu, command_ = command; }
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;

 private:
  HMENU menu_ = nullptr;
  UINT command_ = 0;
};

class Win32FormWindow : public FormWindow {
 public:
  void Attach(HWND window) { window_ = window; }
  void SetOuterSize(int width, int height) override;
  void SetPosition(int left, int top) override;
  int ClientWidth() const override;
  int ClientHeight() const override;

 private:
  HWND window_ = nullptr;
};

class Win32ScreenMetrics : public ScreenMetrics {
 public:
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
  int VerticalScrollBarWidth() override { return GetSystemMetrics(SM_CXVSCROLL); }
};

class Win32MessageDialog : public MessageDialog {
 public:
  void Attach(HWND owner) { owner_ = owner; }
  void ShowModal(const std::string& caption, const std::string& text) override {
    ShowMessageBox(owner_, caption, text);
  }

 private:
  HWND owner_ = nullptr;
};

}  // namespace proclens::win32
