#include "platform/linux/window/gtk_row_descriptions.h"

#include <atk/atk.h>

namespace proclens::gtk_front {

void ShowRowTooltips(Gtk::TreeView& details, Gtk::IconView& large, Gtk::IconView& small,
                     const Gtk::TreeModelColumn<Glib::ustring>& markup_column) {
  details.set_tooltip_column(markup_column.index());
  large.set_tooltip_column(markup_column.index());
  small.set_tooltip_column(markup_column.index());
}

void DescribeCursorRows(Gtk::TreeView& details, const Gtk::TreeModelColumn<Glib::ustring>& plain_column) {
  details.signal_cursor_changed().connect([&details, &plain_column] {
    Gtk::TreeModel::Path path;
    Gtk::TreeViewColumn* focus = nullptr;
    details.get_cursor(path, focus);
    const auto model = details.get_model();
    if (!model || path.empty()) return;
    const Gtk::TreeModel::iterator row = model->get_iter(path);
    if (!row) return;
    const Glib::ustring description = (*row)[plain_column];
    // The tree's accessible is a table of cells; only the cells of the row
    // asked about are made, not those of every row.
    AtkObject* table = gtk_widget_get_accessible(GTK_WIDGET(details.gobj()));
    if (table == nullptr || !ATK_IS_TABLE(table)) return;
    const int columns = static_cast<int>(details.get_n_columns());
    for (int column = 0; column < columns; ++column) {
      AtkObject* cell = atk_table_ref_at(ATK_TABLE(table), path.front(), column);
      if (cell == nullptr) continue;
      atk_object_set_description(cell, description.c_str());
      g_object_unref(cell);
    }
  });
}

}  // namespace proclens::gtk_front
