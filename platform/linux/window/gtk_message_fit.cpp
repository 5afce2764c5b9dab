#include "platform/linux/window/gtk_message_fit.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

#include <algorithm>
#include <vector>

namespace proclens::gtk_front {
namespace {

// Room the box keeps beside its text: its icon, borders and margins.
constexpr int kRoomBesideText = 120;
constexpr int kFewestCharacters = 20;

Gdk::Rectangle WorkAreaNear(Gtk::Window& near) {
  Gdk::Rectangle area(0, 0, 800, 600);
  Glib::RefPtr<Gdk::Display> display = near.get_display();
  if (!display) return area;
  Glib::RefPtr<Gdk::Monitor> monitor =
      near.get_window() ? display->get_monitor_at_window(near.get_window()) : display->get_primary_monitor();
  if (!monitor && display->get_n_monitors() > 0) monitor = display->get_monitor(0);
  if (monitor) monitor->get_workarea(area);
  return area;
}

int CharacterWidth(Gtk::Label& label) {
  const Pango::FontMetrics metrics = label.get_pango_context()->get_metrics(
      label.get_pango_context()->get_font_description());
  return std::max(1, metrics.get_approximate_char_width() / PANGO_SCALE);
}

// A hash or an address broken across lines must not seem to hold hyphens.
void KeepWordsUnhyphenated(Gtk::Label& label) {
  PangoAttrList* shown = gtk_label_get_attributes(label.gobj());  // the box's bold title, say
  PangoAttrList* attributes = shown != nullptr ? pango_attr_list_copy(shown) : pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
  gtk_label_set_attributes(label.gobj(), attributes);
  pango_attr_list_unref(attributes);
}

// Puts the label into a scrolled window in its place in the box.
void LetScroll(Gtk::Box& box, Gtk::Label& label, int height) {
  const int position = [&box, &label] {
    std::vector<Gtk::Widget*> children = box.get_children();
    return static_cast<int>(std::find(children.begin(), children.end(), &label) - children.begin());
  }();
  auto* scroll = Gtk::manage(new Gtk::ScrolledWindow());
  scroll->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scroll->set_min_content_height(height);
  scroll->set_max_content_height(height);
  label.reference();  // the box's reference goes with the label
  box.remove(label);
  scroll->add(label);
  label.unreference();
  box.pack_start(*scroll, true, true);
  box.reorder_child(*scroll, position);
  scroll->show_all();
}

}  // namespace

void FitMessageToScreen(Gtk::MessageDialog& dialog, Gtk::Window& near) {
  const Gdk::Rectangle area = WorkAreaNear(near);
  Gtk::Box* box = dialog.get_message_area();
  if (box == nullptr) return;
  std::vector<Gtk::Label*> labels;
  for (Gtk::Widget* child : box->get_children()) {
    if (auto* label = dynamic_cast<Gtk::Label*>(child)) labels.push_back(label);
  }
  for (Gtk::Label* label : labels) {
    label->set_line_wrap(true);
    label->set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
    KeepWordsUnhyphenated(*label);
    label->set_selectable(true);
    const int width = std::max(1, area.get_width() - kRoomBesideText);
    const int characters = std::max(kFewestCharacters, width / CharacterWidth(*label));
    const int chosen = label->get_max_width_chars();
    label->set_max_width_chars(chosen > 0 ? std::min(chosen, characters) : characters);
    int minimum = 0, natural = 0;
    label->get_preferred_height_for_width(std::min(width, characters * CharacterWidth(*label)), minimum, natural);
    const int highest = std::max(1, area.get_height() * 2 / 3);
    if (natural > highest) LetScroll(*box, *label, highest);
  }
  // A selectable text would take the focus first, selected whole.
  if (Gtk::Widget* ok = dialog.get_widget_for_response(Gtk::RESPONSE_OK)) {
    ok->set_can_default(true);
    ok->grab_default();
    ok->grab_focus();
  }
}

}  // namespace proclens::gtk_front
