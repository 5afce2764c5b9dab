#pragma once
// The message box's text, fitted to the screen. The box's own label wraps
// only between words, so one long unbroken line (an address, a hash) would
// make the box wider than the screen; and a label wrapping inside a long
// word lays it out in time that grows with the square of its length.

#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

namespace proclens::gtk_front {

// Shows text in the dialog's message area in place of its labels: in a
// read-only text view that wraps between words, and inside a word where no
// word break fits, as wide as the text needs up to a readable width and the
// work area of the screen near shows, scrolling past two thirds of its
// height. The text stays whole and selectable; the OK button keeps the
// focus, so Return still closes the box.
void ShowMessageText(Gtk::MessageDialog& dialog, const Glib::ustring& text, Gtk::Window& near);

}  // namespace proclens::gtk_front
