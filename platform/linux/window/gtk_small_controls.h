#pragma once
// The simple controls of the main window: the status bar, the headline, the
// view-style buttons, the context-menu item, the message box and the screen.

#include <gtkmm/layout.h>
#include <gtkmm/label.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/statusbar.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>

#include "app/controls.h"

namespace proclens::gtk_front {

class GtkStatusBar : public StatusBar {
 public:
  Gtk::Statusbar& widget() { return bar_; }
  void SetSimpleMode(bool simple) override { simple_ = simple; }
  bool SimpleMode() const override { return simple_; }
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }

 private:
  Gtk::Statusbar bar_;
  bool simple_ = false;
  std::string text_;
};

// The headline. A GTK label always fits its text, so auto-size only records the setting.
class GtkLabelControl : public Label {
 public:
  explicit GtkLabelControl(const std::string& text);
  Gtk::Label& widget() { return label_; }
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }
  void SetAutoSize(bool on) override { auto_size_ = on; }
  bool AutoSize() const override { return auto_size_; }
  void Repaint() override { label_.queue_draw(); }
  int Width() const override;
  int Height() const override;

 private:
  Gtk::Label label_;
  std::string text_;
  bool auto_size_ = true;
};

// A flat toggle button of the view-style group, placed on the top panel.
class GtkSpeedButton : public SpeedButton {
 public:
  // Placed at the panel's button row, design_width wide.
  GtkSpeedButton(Gtk::Layout& panel, Gtk::RadioButton::Group& group, const std::string& glyph,
                 int design_width);
  Gtk::RadioButton& widget() { return button_; }
  // Called when the user presses the button down (not when SetDown does).
  std::function<void()> on_click;

  int Left() const override { return left_; }
  void SetLeft(int left) override;
  int Top() const override { return top_; }
  int Width() const override;
  bool Down() const override { return button_.get_active(); }
  void SetDown(bool down) override;

 protected:
  void ShowAccessibleName(const std::string& name) override;

 private:
  Gtk::Layout& panel_;
  Gtk::RadioButton button_;
  int design_width_;
  int left_ = 0;
  int top_;
  bool setting_down_ = false;
};

class GtkMenuItemControl : public MenuItem {
 public:
  explicit GtkMenuItemControl(Gtk::MenuItem& item, const std::string& caption);
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;

 private:
  Gtk::MenuItem& item_;
  std::string caption_;
};

class GtkMessageDialog : public MessageDialog {
 public:
  explicit GtkMessageDialog(Gtk::Window& parent) : parent_(parent) {}
  // Runs the dialog's own loop, so other events (a title change) keep coming.
  void ShowModal(const std::string& caption, const std::string& text) override;

 private:
  Gtk::Window& parent_;
};

class GdkScreenMetrics : public ScreenMetrics {
 public:
  int ScreenWidth() override;
  int ScreenHeight() override;
  int VerticalScrollBarWidth() override;
};

}  // namespace proclens::gtk_front
