#pragma once
// A message too wide or too long for the screen, fitted to it: the message
// box's own labels wrap only between words, so one long unbroken line (an
// address, a hash) would make the box wider than the screen.

#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

namespace proclens::gtk_front {

// Wraps the dialog's texts inside words where no word break fits, caps
// their width at the work area of the screen that shows near, and lets a
// text taller than two thirds of it scroll. The texts stay whole and
// selectable; the OK button keeps the focus, so Return still closes the box.
void FitMessageToScreen(Gtk::MessageDialog& dialog, Gtk::Window& near);

}  // namespace proclens::gtk_front
