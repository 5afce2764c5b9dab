#include "platform/linux/window/gtk_small_controls.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <gtkmm/image.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/scrollbar.h>

#include <algorithm>

#include "app/form_layout.h"
#include "platform/linux/window/gtk_image_list.h"
#include "platform/linux/window/gtk_message_fit.h"
#include "platform/linux/window/gtk_text.h"

namespace proclens::gtk_front {

void GtkStatusBar::SetText(const std::string& text) {
  text_ = text;
  bar_.remove_all_messages();
  bar_.push(ValidUtf8(text));
}

GtkLabelControl::GtkLabelControl(const std::string& text) {
  label_.set_line_wrap(false);
  label_.set_xalign(0.0f);
  label_.set_yalign(0.0f);
  SetText(text);
}

void GtkLabelControl::SetText(const std::string& text) {
  text_ = text;
  label_.set_text(WithLineFeeds(ValidUtf8(text)));
}

int GtkLabelControl::Width() const {
  int minimum = 0, natural = 0;
  label_.get_preferred_width(minimum, natural);
  return natural;
}

int GtkLabelControl::Height() const {
  int minimum = 0, natural = 0;
  label_.get_preferred_height(minimum, natural);
  return natural;
}

GtkSpeedButton::GtkSpeedButton(Gtk::Layout& panel, Gtk::RadioButton::Group& group,
                               const std::string& glyph, int design_width)
    : panel_(panel), button_(group), design_width_(design_width), top_(layout::kSpeedButtonTop) {
  button_.set_mode(false);  // a toggle button, not a radio dot
  button_.set_relief(Gtk::RELIEF_NONE);
  button_.set_can_focus(false);
  button_.set_size_request(design_width, layout::kSpeedButtonHeight);
  button_.get_style_context()->add_class("proclens-speed-button");
  auto* image = Gtk::manage(new Gtk::Image(ArtworkPixbuf(glyph)));
  button_.set_image(*image);
  button_.set_always_show_image(true);
  button_.signal_toggled().connect([this] {
    if (button_.get_active() && !setting_down_ && on_click) on_click();
  });
  panel_.put(button_, left_, top_);
}

void GtkSpeedButton::SetLeft(int left) {
  left_ = left;
  panel_.move(button_, left_, top_);
}

// GTK may draw the button wider than its design size; the placement must use
// what is drawn so that the buttons never overlap.
int GtkSpeedButton::Width() const {
  int minimum = 0, natural = 0;
  button_.get_preferred_width(minimum, natural);
  return std::max(design_width_, natural);
}

// The button shows only its glyph; the name is what a screen reader says.
// (No tooltip: a tooltip on show takes the next click in the window.)
void GtkSpeedButton::ShowAccessibleName(const std::string& name) {
  if (auto accessible = button_.get_accessible()) accessible->set_name(ValidUtf8(name));
}

void GtkSpeedButton::SetDown(bool down) {
  setting_down_ = true;
  button_.set_active(down);
  setting_down_ = false;
}

GtkMenuItemControl::GtkMenuItemControl(Gtk::MenuItem& item, const std::string& caption)
    : item_(item) {
  SetCaption(caption);
}

void GtkMenuItemControl::SetCaption(const std::string& caption) {
  caption_ = caption;
  item_.set_use_underline(true);
  item_.set_label(MnemonicLabel(ValidUtf8(caption)));
}

void GtkMessageDialog::ShowModal(const std::string& caption, const std::string& text) {
  Gtk::MessageDialog dialog(parent_, "", false, Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK, true);
  dialog.set_title(ValidUtf8(caption));
  ShowMessageText(dialog, ValidUtf8(text), parent_);
  dialog.run();
}

namespace {

Gdk::Rectangle PrimaryMonitorArea() {
  Gdk::Rectangle area(0, 0, 0, 0);
  Glib::RefPtr<Gdk::Display> display = Gdk::Display::get_default();
  if (!display) return area;
  Glib::RefPtr<Gdk::Monitor> monitor = display->get_primary_monitor();
  if (!monitor && display->get_n_monitors() > 0) monitor = display->get_monitor(0);
  if (monitor) monitor->get_geometry(area);
  return area;
}

}  // namespace

int GdkScreenMetrics::ScreenWidth() { return PrimaryMonitorArea().get_width(); }

int GdkScreenMetrics::ScreenHeight() { return PrimaryMonitorArea().get_height(); }

int GdkScreenMetrics::VerticalScrollBarWidth() {
  Gtk::Scrollbar bar(Gtk::Adjustment::create(0, 0, 1), Gtk::ORIENTATION_VERTICAL);
  int minimum = 0, natural = 0;
  bar.get_preferred_width(minimum, natural);
  return natural;
}

}  // namespace proclens::gtk_front
