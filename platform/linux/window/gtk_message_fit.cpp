#include "platform/linux/window/gtk_message_fit.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <gtkmm/box.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>

#include <algorithm>
#include <string>

namespace proclens::gtk_front {
namespace {

// Room the box keeps beside its text: its icon, borders and margins.
constexpr int kRoomBesideText = 120;
// A readable line, as the system's own message boxes keep it.
constexpr int kWidestLineCharacters = 60;
// Wrapping between words first costs time growing with the square of a
// word's length; a paragraph with a longer word than this wraps anywhere.
constexpr Glib::ustring::size_type kLongestWordBetweenWords = 2000;

// A label shows breaks inside words without the hyphens a text view adds,
// but it lays such a word out in time growing with the square of its length:
// texts with longer words than this, or longer texts, go to a text view.
constexpr Glib::ustring::size_type kLongestWordInLabel = 1500;
constexpr std::string::size_type kLongestLabelText = 10000;

constexpr char kTextStyle[] =
    "textview.proclens-message, textview.proclens-message text { background-color: transparent; }";

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

// The most characters between two blanks.
Glib::ustring::size_type LongestWord(const Glib::ustring& text) {
  Glib::ustring::size_type run = 0, longest = 0;
  for (gunichar c : text) {
    run = g_unichar_isspace(c) ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  return longest;
}

// Paragraphs holding a very long word wrap anywhere (see above).
void WrapLongWordsAnywhere(const Glib::RefPtr<Gtk::TextBuffer>& buffer) {
  auto anywhere = buffer->create_tag();
  anywhere->property_wrap_mode() = Gtk::WRAP_CHAR;
  for (int line = 0; line < buffer->get_line_count(); ++line) {
    Gtk::TextIter start = buffer->get_iter_at_line(line);
    Gtk::TextIter end = start;
    if (!end.ends_line()) end.forward_to_line_end();
    if (LongestWord(buffer->get_text(start, end)) > kLongestWordBetweenWords) buffer->apply_tag(anywhere, start, end);
  }
}

// In the widget's font with the attributes it shows its text with (bold, say).
int PixelWidth(Gtk::Widget& widget, const std::string& text, PangoAttrList* attributes) {
  const Glib::RefPtr<Pango::Layout> layout = widget.create_pango_layout(text);
  if (attributes != nullptr) pango_layout_set_attributes(layout->gobj(), attributes);
  int width = 0, height = 0;
  layout->get_pixel_size(width, height);
  return width;
}

// As wide as the widest paragraph needs, up to a readable line and the
// screen. A paragraph much longer than the line is measured by its start,
// and a text of very many paragraphs by its first ones: either fills the line.
int TextWidth(Gtk::Widget& widget, const std::string& text, int widest, PangoAttrList* attributes = nullptr) {
  constexpr std::size_t kMeasuredBytes = 4 * 4 * kWidestLineCharacters;  // UTF-8: up to 4 bytes a character
  constexpr int kMeasuredParagraphs = 500;
  const int cap = std::min(widest, PixelWidth(widget, std::string(kWidestLineCharacters, 'x'), attributes));
  int needed = 0;
  std::size_t begin = 0;
  for (int paragraphs = 0; begin <= text.size() && needed < cap && paragraphs < kMeasuredParagraphs; ++paragraphs) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    std::string start = text.substr(begin, std::min(end - begin, kMeasuredBytes));
    const gchar* valid_end = nullptr;
    g_utf8_validate(start.data(), static_cast<gssize>(start.size()), &valid_end);
    start.resize(static_cast<std::size_t>(valid_end - start.data()));  // no character cut in two
    needed = std::max(needed, PixelWidth(widget, start, attributes));
    begin = end + 1;
  }
  constexpr int kBeside = 8;  // the text view's and the scroll bar's own edges
  return std::max(1, std::min(cap, needed) + kBeside);
}

// A hash or an address broken across lines must not seem to hold hyphens.
void KeepWordsUnhyphenated(Gtk::Label& label) {
  PangoAttrList* shown = gtk_label_get_attributes(label.gobj());  // the box's bold title, say
  PangoAttrList* attributes = shown != nullptr ? pango_attr_list_copy(shown) : pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
  gtk_label_set_attributes(label.gobj(), attributes);
  pango_attr_list_unref(attributes);
}

// In a scrolled window as wide as given and at most as high, first in the box.
void Scrolling(Gtk::Box& box, Gtk::Widget& shown, int width, int highest) {
  auto* scroll = Gtk::manage(new Gtk::ScrolledWindow());
  scroll->set_size_request(width, -1);
  scroll->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scroll->set_propagate_natural_height(true);
  scroll->set_max_content_height(highest);
  scroll->add(shown);
  box.pack_start(*scroll, true, true);
  box.reorder_child(*scroll, 0);
  scroll->show_all();
}

void ShowInLabel(Gtk::MessageDialog& dialog, Gtk::Box& box, const Glib::ustring& text, int widest, int highest) {
  Gtk::Label* label = nullptr;
  for (Gtk::Widget* child : box.get_children()) {
    if (auto* found = dynamic_cast<Gtk::Label*>(child); found != nullptr && label == nullptr) label = found;
    child->hide();
  }
  if (label == nullptr) return;
  dialog.set_message(text);
  const int width = TextWidth(*label, text.raw(), widest, gtk_label_get_attributes(label->gobj()));
  label->set_line_wrap(true);
  label->set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
  KeepWordsUnhyphenated(*label);
  label->set_selectable(true);
  label->set_size_request(width, -1);
  label->set_max_width_chars(kWidestLineCharacters);
  label->reference();  // the box's reference goes with the label
  box.remove(*label);
  Scrolling(box, *label, width, highest);
  label->unreference();
}

void ShowInTextView(Gtk::Box& box, const Glib::ustring& text, int widest, int highest) {
  for (Gtk::Widget* child : box.get_children()) child->hide();
  auto* view = Gtk::manage(new Gtk::TextView());
  view->set_editable(false);
  view->set_cursor_visible(false);
  view->set_wrap_mode(Gtk::WRAP_WORD_CHAR);
  view->get_buffer()->set_text(text);
  WrapLongWordsAnywhere(view->get_buffer());
  auto style = Gtk::CssProvider::create();
  style->load_from_data(kTextStyle);
  view->get_style_context()->add_provider(style, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  view->get_style_context()->add_class("proclens-message");
  Scrolling(box, *view, TextWidth(*view, text.raw(), widest), highest);
}

}  // namespace

void ShowMessageText(Gtk::MessageDialog& dialog, const Glib::ustring& text, Gtk::Window& near) {
  Gtk::Box* box = dialog.get_message_area();
  if (box == nullptr) return;
  const Gdk::Rectangle area = WorkAreaNear(near);
  const int highest = std::max(1, area.get_height() * 2 / 3);
  const int widest = std::max(1, area.get_width() - kRoomBesideText);
  if (text.bytes() <= kLongestLabelText && LongestWord(text) <= kLongestWordInLabel) {
    ShowInLabel(dialog, *box, text, widest, highest);
  } else {
    ShowInTextView(*box, text, widest, highest);
  }

  // The text would take the focus first.
  if (Gtk::Widget* ok = dialog.get_widget_for_response(Gtk::RESPONSE_OK)) {
    ok->set_can_default(true);
    ok->grab_default();
    ok->grab_focus();
  }
}

}  // namespace proclens::gtk_front
