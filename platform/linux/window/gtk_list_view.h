#pragma once
// ListView: one model of process items shown three ways (details with three
// columns, large icons, small icons), stacked so that switching the view style
// never touches the items or their order.

#include <gtkmm/iconview.h>
#include <gtkmm/liststore.h>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/stack.h>
#include <gtkmm/treeview.h>

#include <array>
#include <functional>
#include <vector>

#include "app/controls.h"
#include "platform/linux/window/gtk_image_list.h"

namespace proclens::gtk_front {

struct ProcessColumns : Gtk::TreeModelColumnRecord {
  ProcessColumns() {
    add(item_id);
    add(caption);
    add(path);
    add(size_text);
    add(small_icon);
    add(large_icon);
    add(description);
    add(description_markup);
  }
  // The item as it came, bytes unchanged, is items_[item_id]; the texts here
  // are its displayable (valid UTF-8) copies.
  Gtk::TreeModelColumn<int> item_id;
  Gtk::TreeModelColumn<Glib::ustring> caption;
  Gtk::TreeModelColumn<Glib::ustring> path;
  Gtk::TreeModelColumn<Glib::ustring> size_text;
  Gtk::TreeModelColumn<Glib::RefPtr<Gdk::Pixbuf>> small_icon;
  Gtk::TreeModelColumn<Glib::RefPtr<Gdk::Pixbuf>> large_icon;
  // Why the process runs and where: the row's tooltip (as markup) and its
  // cells' accessible description.
  Gtk::TreeModelColumn<Glib::ustring> description;
  Gtk::TreeModelColumn<Glib::ustring> description_markup;
};

class GtkListView : public ListView {
 public:
  GtkListView(const GtkImageList& large_images, const GtkImageList& small_images);

  Gtk::Widget& widget() { return stack_; }

  // The front's wiring: a left click in any view, a click on a column header,
  // the context menu's one item, and every change of the view style.
  std::function<void()> on_click;  // Enter on a selected item too
  std::function<void(int column)> on_column_click;
  std::function<void()> on_view_style_changed;
  Gtk::MenuItem& popup_item() { return popup_item_; }
  Gtk::Menu& popup_menu() { return popup_; }

  void InsertItem(std::size_t position, ProcessItem item) override;
  void AppendItem(ProcessItem item) override;

  ViewStyle GetViewStyle() const override { return style_; }
  void SetViewStyle(ViewStyle style) override;

  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  std::string ColumnCaption(int column) const override;
  void SetColumnCaption(int column, const std::string& caption) override;
  int ColumnWidth(int column) const override;
  void SetColumnWidth(int column, int width) override;
  int ColumnMinWidth(int column) const override;
  void SetColumnMinWidth(int column, int width) override;
  ColumnAlignment GetColumnAlignment(int column) const override;

  std::size_t ItemCount() const override;
  ProcessItem Item(std::size_t index) const override;
  std::optional<std::size_t> SelectedIndex() const override;

  // The model exists from construction on, so the sort always has its window.
  bool WindowExists() const override { return true; }
  void SortItems(const ItemComparison& compare) override;

  int ClientWidth() const override { return stack_.get_allocated_width(); }
  void ClearItems() override;
  void SelectIndex(std::optional<std::size_t> index) override;
  void SetItemImage(std::size_t index, int image_index) override;

 protected:
  void ShowAccessibleName(const std::string& name) override;

 private:
  void AttachModel(ViewStyle style);
  void BuildDetailsView();
  void BuildIconView(Gtk::IconView& view, bool large);
  void WireEvents(Gtk::Widget& view);
  bool OnButtonPress(GdkEventButton* event, Gtk::Widget& view);
  bool OnButtonRelease(GdkEventButton* event, Gtk::Widget& view);
  bool OnKeyPress(GdkEventKey* event);
  // The row under a point of the view's own window, empty when there is none.
  Gtk::TreePath PathAt(Gtk::Widget& view, int x, int y);
  void PopupAtSelection(Gtk::Widget& view);
  void FillRow(const Gtk::TreeRow& row, const ProcessItem& item);
  Gtk::TreeViewColumn* Column(int column) const;

  const GtkImageList& large_images_;
  const GtkImageList& small_images_;
  ProcessColumns model_columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  std::vector<ProcessItem> items_;
  ViewStyle style_ = ViewStyle::Report;

  Gtk::Stack stack_;
  Gtk::ScrolledWindow details_scroll_, large_scroll_, small_scroll_;
  Gtk::TreeView details_;
  Gtk::IconView large_icons_, small_icons_;
  std::array<std::string, 3> captions_;
  std::array<Gtk::TreeViewColumn*, 3> columns_{};

  Gtk::Menu popup_;
  Gtk::MenuItem popup_item_;
};

}  // namespace proclens::gtk_front
