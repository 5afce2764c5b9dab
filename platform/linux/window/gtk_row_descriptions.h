#pragma once
// A row's description (why its process runs, and where) as a sighted user
// and a screen reader meet it: the row's tooltip in every view, and the
// accessible description of the cells of the row that has the focus.

#include <gtkmm/iconview.h>
#include <gtkmm/treemodelcolumn.h>
#include <gtkmm/treeview.h>

namespace proclens::gtk_front {

// The views show the text of markup_column (Pango markup) as each row's tooltip.
void ShowRowTooltips(Gtk::TreeView& details, Gtk::IconView& large, Gtk::IconView& small,
                     const Gtk::TreeModelColumn<Glib::ustring>& markup_column);

// From now on the cells of the row with the cursor describe themselves with
// the row's plain_column text to assistive technology.
void DescribeCursorRows(Gtk::TreeView& details, const Gtk::TreeModelColumn<Glib::ustring>& plain_column);

}  // namespace proclens::gtk_front
