#include "platform/linux/window/gtk_list_view.h"

#include <algorithm>
#include <numeric>

#include "app/form_layout.h"
#include "app/form_texts.h"
#include "platform/linux/window/gtk_text.h"
#include "platform/linux/window/icon_text_renderer.h"
#include "platform/linux/window/gtk_row_descriptions.h"

#include <glibmm/markup.h>

namespace proclens::gtk_front {
namespace {

constexpr const char* kViewNames[3] = {"report", "large", "small"};

const char* ViewName(ViewStyle style) {
  switch (style) {
    case ViewStyle::LargeIcons: return kViewNames[1];
    case ViewStyle::SmallIcons: return kViewNames[2];
    case ViewStyle::Report: break;
  }
  return kViewNames[0];
}

std::optional<std::size_t> IndexOfPath(const Gtk::TreePath& path) {
  if (path.empty()) return std::nullopt;
  return static_cast<std::size_t>(path[0]);
}

// Only the rows of the details view are the list: its header has a window of
// its own, and a press there (sorting, dragging a column) is no row's.
bool OnRows(Gtk::TreeView& details, Gtk::Widget& view, GdkEventButton* event) {
  return &view != &details || event->window == details.get_bin_window()->gobj();
}

}  // namespace

GtkListView::GtkListView(const GtkImageList& large_images, const GtkImageList& small_images)
    : large_images_(large_images),
      small_images_(small_images),
      store_(Gtk::ListStore::create(model_columns_)) {
  const FormTexts& english = EnglishFormTexts();
  std::copy(english.column_captions.begin(), english.column_captions.end(), captions_.begin());

  BuildDetailsView();
  BuildIconView(large_icons_, true);
  BuildIconView(small_icons_, false);
  ShowRowTooltips(details_, large_icons_, small_icons_, model_columns_.description_markup);

  details_scroll_.add(details_);
  large_scroll_.add(large_icons_);
  small_scroll_.add(small_icons_);
  for (Gtk::ScrolledWindow* scroll : {&details_scroll_, &large_scroll_, &small_scroll_}) {
    scroll->set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroll->set_shadow_type(Gtk::SHADOW_IN);
  }
  stack_.add(details_scroll_, kViewNames[0]);
  stack_.add(large_scroll_, kViewNames[1]);
  stack_.add(small_scroll_, kViewNames[2]);
  stack_.set_visible_child(kViewNames[0]);
  // Only the view on show is measured; an icon view measures every item.
  stack_.set_hhomogeneous(false);
  stack_.set_vhomogeneous(false);
  // The views see the model from their first showing on, so that the fill
  // before the window is shown does not lay out views nobody sees yet.
  stack_.signal_realize().connect([this] { AttachModel(style_); });
  stack_.set_hexpand(true);
  stack_.set_vexpand(true);

  popup_item_.set_use_underline(true);
  popup_item_.set_label(MnemonicLabel(ValidUtf8(english.show_in_explorer_popupmenu)));
  popup_.append(popup_item_);
  popup_.show_all();
}

void GtkListView::AttachModel(ViewStyle style) {
  switch (style) {
    case ViewStyle::Report:
      if (!details_.get_model()) details_.set_model(store_);
      break;
    case ViewStyle::LargeIcons:
      if (!large_icons_.get_model()) large_icons_.set_model(store_);
      break;
    case ViewStyle::SmallIcons:
      if (!small_icons_.get_model()) small_icons_.set_model(store_);
      break;
  }
}

void GtkListView::BuildDetailsView() {
  details_.set_headers_clickable(true);
  details_.set_enable_search(false);
  details_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);

  auto* name_column = Gtk::manage(new Gtk::TreeViewColumn(ValidUtf8(captions_[0])));
  auto* name_cell = Gtk::manage(new IconTextRenderer());
  name_column->pack_start(*name_cell, true);
  name_column->add_attribute(name_cell->property_text(), model_columns_.caption);
  name_column->add_attribute(name_cell->property_icon(), model_columns_.small_icon);
  details_.append_column(*name_column);
  details_.append_column(ValidUtf8(captions_[1]), model_columns_.path);
  details_.append_column(ValidUtf8(captions_[2]), model_columns_.size_text);

  for (int i = 0; i < 3; ++i) {
    Gtk::TreeViewColumn* column = details_.get_column(i);
    columns_[static_cast<std::size_t>(i)] = column;
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_fixed_width(layout::kColumns[static_cast<std::size_t>(i)].width);
    column->set_resizable(true);
    column->set_clickable(true);
    column->set_expand(false);
    column->signal_clicked().connect([this, i] {
      if (on_column_click) on_column_click(i);
    });
  }
  // Every column has a fixed width, so rows need not be measured one by one.
  details_.set_fixed_height_mode(true);
  // A right-aligned column (the sizes) has its header aligned with it.
  for (int i = 0; i < 3; ++i) {
    if (GetColumnAlignment(i) != ColumnAlignment::Right) continue;
    columns_[static_cast<std::size_t>(i)]->set_alignment(1.0f);
    for (Gtk::CellRenderer* cell : columns_[static_cast<std::size_t>(i)]->get_cells()) {
      cell->property_xalign() = 1.0f;
    }
  }
  WireEvents(details_);
  DescribeCursorRows(details_, model_columns_.description);
}

void GtkListView::BuildIconView(Gtk::IconView& view, bool large) {
  view.set_selection_mode(Gtk::SELECTION_SINGLE);
  view.set_text_column(model_columns_.caption);
  if (large) {
    view.set_pixbuf_column(model_columns_.large_icon);
    view.set_item_orientation(Gtk::ORIENTATION_VERTICAL);
    view.set_item_width(76);
  } else {
    view.set_pixbuf_column(model_columns_.small_icon);
    view.set_item_orientation(Gtk::ORIENTATION_HORIZONTAL);
    view.set_item_width(150);
    view.set_row_spacing(0);
  }
  view.set_item_padding(2);
  view.set_margin(4);
  WireEvents(view);
}

void GtkListView::WireEvents(Gtk::Widget& view) {
  view.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::KEY_PRESS_MASK);
  view.signal_button_press_event().connect(
      [this, &view](GdkEventButton* event) { return OnButtonPress(event, view); }, false);
  view.signal_button_release_event().connect(
      [this, &view](GdkEventButton* event) { return OnButtonRelease(event, view); }, true);
  view.signal_key_press_event().connect([this](GdkEventKey* event) { return OnKeyPress(event); },
                                        false);
  // The context-menu key and Shift+F10.
  view.signal_popup_menu().connect([this, &view] {
    PopupAtSelection(view);
    return true;
  });
}

Gtk::TreePath GtkListView::PathAt(Gtk::Widget& view, int x, int y) {
  Gtk::TreePath path;
  if (&view == &details_) {
    Gtk::TreeViewColumn* column = nullptr;
    int cell_x = 0, cell_y = 0;
    if (!details_.get_path_at_pos(x, y, path, column, cell_x, cell_y)) path.clear();
  } else {
    path = static_cast<Gtk::IconView&>(view).get_path_at_pos(x, y);
  }
  return path;
}

// A right click selects the item under the pointer first, as the list's own
// context menu does elsewhere, then opens the menu there.
bool GtkListView::OnButtonPress(GdkEventButton* event, Gtk::Widget& view) {
  if (event->type != GDK_BUTTON_PRESS || event->button != 3) return false;
  if (!OnRows(details_, view, event)) return false;
  const Gtk::TreePath path = PathAt(view, static_cast<int>(event->x), static_cast<int>(event->y));
  if (!path.empty()) SelectIndex(IndexOfPath(path));
  popup_.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
  return true;
}

// A click on an item; one on the empty room below the last item is none, and
// must not decide the page of the item selected before anew.
bool GtkListView::OnButtonRelease(GdkEventButton* event, Gtk::Widget& view) {
  if (event->button != 1 || !on_click || !OnRows(details_, view, event)) return false;
  if (PathAt(view, static_cast<int>(event->x), static_cast<int>(event->y)).empty()) return false;
  on_click();
  return false;
}

bool GtkListView::OnKeyPress(GdkEventKey* event) {
  const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter ||
                     event->keyval == GDK_KEY_ISO_Enter;
  if (!enter || !SelectedIndex() || !on_click) return false;
  on_click();
  return true;  // the views' own activation would do nothing more
}

// Opens the menu beside the selected item, or at the list's corner without one.
void GtkListView::PopupAtSelection(Gtk::Widget& view) {
  const std::optional<std::size_t> selected = SelectedIndex();
  if (!selected || !view.get_realized()) {
    popup_.popup_at_widget(&view, Gdk::GRAVITY_NORTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
    return;
  }
  Gtk::TreePath path;
  path.push_back(static_cast<int>(*selected));
  Gdk::Rectangle area;
  Glib::RefPtr<Gdk::Window> window;
  // The item is brought into sight first, so that the menu stands beside it.
  if (&view == &details_) {
    details_.scroll_to_row(path);
    details_.get_cell_area(path, *columns_[0], area);  // in the rows' own window
    window = details_.get_bin_window();
  } else {
    auto& icons = static_cast<Gtk::IconView&>(view);
    icons.scroll_to_path(path, false, 0, 0);
    icons.get_cell_rect(path, area);  // in the view's window
    window = view.get_window();
  }
  popup_.popup_at_rect(window, area, Gdk::GRAVITY_SOUTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
}

void GtkListView::FillRow(const Gtk::TreeRow& row, const ProcessItem& item) {
  row[model_columns_.item_id] = static_cast<int>(items_.size());
  row[model_columns_.caption] = ValidUtf8(item.caption);
  row[model_columns_.path] = ValidUtf8(item.sub_items.size() > 0 ? item.sub_items[0] : "");
  row[model_columns_.size_text] = ValidUtf8(item.sub_items.size() > 1 ? item.sub_items[1] : "");
  row[model_columns_.small_icon] = small_images_.Image(item.image_index);
  row[model_columns_.large_icon] = large_images_.Image(item.image_index);
  const Glib::ustring description = ValidUtf8(item.description);
  row[model_columns_.description] = description;
  row[model_columns_.description_markup] = Glib::Markup::escape_text(description);
  items_.push_back(item);
}

void GtkListView::InsertItem(std::size_t position, ProcessItem item) {
  if (position >= ItemCount()) return AppendItem(std::move(item));
  Gtk::TreeRow row = *store_->insert(store_->children()[static_cast<unsigned>(position)]);
  FillRow(row, item);
}

void GtkListView::AppendItem(ProcessItem item) { FillRow(*store_->append(), item); }

void GtkListView::SetViewStyle(ViewStyle style) {
  std::optional<std::size_t> selected = SelectedIndex();
  style_ = style;
  if (stack_.get_realized()) AttachModel(style);
  stack_.set_visible_child(ViewName(style));
  SelectIndex(selected);
  if (on_view_style_changed) on_view_style_changed();
}

void GtkListView::SetItemImage(std::size_t index, int image_index) {
  if (index >= ItemCount()) return;
  Gtk::TreeRow row = store_->children()[static_cast<unsigned>(index)];
  items_[static_cast<std::size_t>(row.get_value(model_columns_.item_id))].image_index = image_index;
  row[model_columns_.small_icon] = small_images_.Image(image_index);
  row[model_columns_.large_icon] = large_images_.Image(image_index);
}

void GtkListView::ClearItems() {
  store_->clear();
  items_.clear();
}

void GtkListView::ShowAccessibleName(const std::string& name) {
  for (Gtk::Widget* view : {static_cast<Gtk::Widget*>(&details_),
                            static_cast<Gtk::Widget*>(&large_icons_),
                            static_cast<Gtk::Widget*>(&small_icons_)}) {
    if (auto accessible = view->get_accessible()) accessible->set_name(ValidUtf8(name));
  }
}

void GtkListView::SelectIndex(std::optional<std::size_t> index) {
  details_.get_selection()->unselect_all();
  large_icons_.unselect_all();
  small_icons_.unselect_all();
  if (!index || *index >= ItemCount()) return;
  Gtk::TreePath path;
  path.push_back(static_cast<int>(*index));
  switch (style_) {
    case ViewStyle::Report: details_.get_selection()->select(path); break;
    case ViewStyle::LargeIcons: large_icons_.select_path(path); break;
    case ViewStyle::SmallIcons: small_icons_.select_path(path); break;
  }
}

Gtk::TreeViewColumn* GtkListView::Column(int column) const {
  if (column < 0 || column >= ColumnCount()) return nullptr;
  return columns_[static_cast<std::size_t>(column)];
}

std::string GtkListView::ColumnCaption(int column) const {
  return Column(column) ? captions_[static_cast<std::size_t>(column)] : std::string();
}

void GtkListView::SetColumnCaption(int column, const std::string& caption) {
  if (Gtk::TreeViewColumn* c = Column(column)) {
    captions_[static_cast<std::size_t>(column)] = caption;
    c->set_title(ValidUtf8(caption));
  }
}

int GtkListView::ColumnWidth(int column) const {
  Gtk::TreeViewColumn* c = Column(column);
  return c ? std::max(0, c->get_fixed_width()) : 0;
}

void GtkListView::SetColumnWidth(int column, int width) {
  // A width below zero means "no room left": the column shows empty.
  if (Gtk::TreeViewColumn* c = Column(column)) c->set_fixed_width(std::max(0, width));
}

int GtkListView::ColumnMinWidth(int column) const {
  Gtk::TreeViewColumn* c = Column(column);
  return c ? std::max(0, c->get_min_width()) : 0;
}

void GtkListView::SetColumnMinWidth(int column, int width) {
  if (Gtk::TreeViewColumn* c = Column(column)) c->set_min_width(std::max(0, width));
}

ColumnAlignment GtkListView::GetColumnAlignment(int column) const {
  if (column < 0 || column >= ColumnCount()) return ColumnAlignment::Left;
  return layout::kColumns[static_cast<std::size_t>(column)].alignment;
}

std::size_t GtkListView::ItemCount() const { return store_->children().size(); }

ProcessItem GtkListView::Item(std::size_t index) const {
  if (index >= ItemCount()) return {};
  const Gtk::TreeRow row = store_->children()[static_cast<unsigned>(index)];
  return items_[static_cast<std::size_t>(row.get_value(model_columns_.item_id))];
}

std::optional<std::size_t> GtkListView::SelectedIndex() const {
  switch (style_) {
    case ViewStyle::Report: {
      std::vector<Gtk::TreePath> rows = details_.get_selection()->get_selected_rows();
      return rows.empty() ? std::nullopt : IndexOfPath(rows.front());
    }
    case ViewStyle::LargeIcons:
    case ViewStyle::SmallIcons: {
      const Gtk::IconView& view = style_ == ViewStyle::LargeIcons ? large_icons_ : small_icons_;
      std::vector<Gtk::TreePath> rows = view.get_selected_items();
      return rows.empty() ? std::nullopt : IndexOfPath(rows.front());
    }
  }
  return std::nullopt;
}

void GtkListView::SortItems(const ItemComparison& compare) {
  const std::size_t count = ItemCount();
  if (count < 2 || !compare) return;
  std::optional<std::size_t> selected = SelectedIndex();
  std::vector<ProcessItem> current;
  current.reserve(count);
  for (std::size_t i = 0; i < count; ++i) current.push_back(Item(i));

  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return compare(current[static_cast<std::size_t>(a)], current[static_cast<std::size_t>(b)]) < 0;
  });
  store_->reorder(order);
  if (selected) {
    auto moved = std::find(order.begin(), order.end(), static_cast<int>(*selected));
    SelectIndex(static_cast<std::size_t>(moved - order.begin()));
  }
}

}  // namespace proclens::gtk_front
