#include "platform/linux/window/gtk_list_view.h"

#include <gtest/gtest.h>
#include <gtkmm/window.h>

namespace proclens::gtk_front {
namespace {

ProcessItem MakeItem(std::uint32_t pid, std::string caption, std::string path, std::string size = "") {
  ProcessItem item;
  item.pid = pid;
  item.caption = std::move(caption);
  item.sub_items.push_back(std::move(path));
  if (!size.empty()) item.sub_items.push_back(std::move(size));
  item.image_index = kMissingFileImage;
  return item;
}

std::vector<std::string> Captions(const ListView& list) {
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < list.ItemCount(); ++i) captions.push_back(list.Item(i).caption);
  return captions;
}

void RunPendingEvents() {
  while (gtk_events_pending()) gtk_main_iteration();
}

// A shown list, as the user sees it: the views take the model when they appear.
class ShownListView : public testing::Test {
 protected:
  ShownListView() {
    window_.add(list_.widget());
    window_.set_default_size(500, 300);
    window_.show_all();
    RunPendingEvents();
  }
  void Select(std::size_t index) {
    Gtk::TreePath path;
    path.push_back(static_cast<int>(index));
    auto* scroll = static_cast<Gtk::ScrolledWindow*>(
        static_cast<Gtk::Stack&>(list_.widget()).get_visible_child());
    static_cast<Gtk::TreeView*>(scroll->get_child())->get_selection()->select(path);
  }

  GtkImageList large_{32};
  GtkImageList small_{16};
  GtkListView list_{large_, small_};
  Gtk::Window window_;
};

TEST_F(ShownListView, InsertedItemsComeBackInPlaceWithTheirBytes) {
  list_.AppendItem(MakeItem(10, "alpha", "/usr/bin/alpha", "1\xC2\xB4" "024 byte"));
  list_.AppendItem(MakeItem(11, "beta", " Access is denied."));
  list_.InsertItem(0, MakeItem(12, "gr\xF6\xDF" "e", "/opt/gr\xF6\xDF" "e"));  // not UTF-8
  list_.InsertItem(99, MakeItem(13, "omega", "/usr/bin/omega"));
  ASSERT_EQ(list_.ItemCount(), 4u);
  EXPECT_EQ(Captions(list_), (std::vector<std::string>{"gr\xF6\xDF" "e", "alpha", "beta", "omega"}));
  ProcessItem first = list_.Item(0);
  EXPECT_EQ(first.pid, 12u);
  EXPECT_EQ(first.sub_items[0], "/opt/gr\xF6\xDF" "e");
  EXPECT_EQ(list_.Item(1).sub_items.size(), 2u);
  EXPECT_EQ(list_.Item(2).sub_items.size(), 1u);
  EXPECT_EQ(list_.Item(1).image_index, kMissingFileImage);
}

TEST_F(ShownListView, SortReordersAndTheSelectionFollowsItsItem) {
  for (const char* name : {"charlie", "alpha", "bravo"}) list_.AppendItem(MakeItem(1, name, "/x"));
  Select(0);
  list_.SortItems([](const ProcessItem& a, const ProcessItem& b) { return a.caption.compare(b.caption); });
  EXPECT_EQ(Captions(list_), (std::vector<std::string>{"alpha", "bravo", "charlie"}));
  ASSERT_TRUE(list_.SelectedIndex());
  EXPECT_EQ(*list_.SelectedIndex(), 2u);
  EXPECT_EQ(list_.SelectedItem()->caption, "charlie");
}

TEST_F(ShownListView, ViewStylesKeepItemsOrderAndSelection) {
  for (const char* name : {"one", "two", "three"}) list_.AppendItem(MakeItem(1, name, "/x"));
  Select(1);
  int changes = 0;
  list_.on_view_style_changed = [&changes] { ++changes; };
  for (ViewStyle style : {ViewStyle::LargeIcons, ViewStyle::SmallIcons, ViewStyle::Report}) {
    list_.SetViewStyle(style);
    RunPendingEvents();
    EXPECT_EQ(list_.GetViewStyle(), style);
    EXPECT_EQ(Captions(list_), (std::vector<std::string>{"one", "two", "three"}));
    ASSERT_TRUE(list_.SelectedIndex());
    EXPECT_EQ(*list_.SelectedIndex(), 1u);
  }
  EXPECT_EQ(changes, 3);
}

TEST_F(ShownListView, ColumnsKeepCaptionsWidthsAndAlignment) {
  EXPECT_EQ(list_.ColumnCount(), 3);
  EXPECT_EQ(list_.ColumnCaption(0), "Running process");
  EXPECT_EQ(list_.ColumnWidth(0), 122);
  EXPECT_EQ(list_.ColumnWidth(2), 122);
  list_.SetColumnCaption(2, "Dateigr\xC3\xB6\xC3\x9F" "e");
  EXPECT_EQ(list_.ColumnCaption(2), "Dateigr\xC3\xB6\xC3\x9F" "e");
  list_.SetColumnWidth(1, 506);
  EXPECT_EQ(list_.ColumnWidth(1), 506);
  list_.SetColumnWidth(1, -40);  // a window narrower than the other columns
  EXPECT_EQ(list_.ColumnWidth(1), 0);
  EXPECT_EQ(list_.GetColumnAlignment(2), ColumnAlignment::Right);
  EXPECT_EQ(list_.GetColumnAlignment(0), ColumnAlignment::Left);
  EXPECT_EQ(list_.ColumnCaption(7), "");
}

// Button events as the toolkit hands them to the details view. (Enter and the
// right-click on the header are checked end to end, through AT-SPI.)
class ListViewInput : public ShownListView {
 protected:
  ListViewInput() {
    for (const char* name : {"alpha", "beta"}) list_.AppendItem(MakeItem(1, name, "/x"));
    RunPendingEvents();
    list_.on_click = [this] { ++clicks_; };
  }
  Gtk::TreeView& Details() {
    auto* scroll = static_cast<Gtk::ScrolledWindow*>(
        static_cast<Gtk::Stack&>(list_.widget()).get_visible_child());
    return *static_cast<Gtk::TreeView*>(scroll->get_child());
  }
  // y of the middle of a row, in the rows' own window.
  int RowMiddle(int row) {
    Gdk::Rectangle area;
    Gtk::TreePath path;
    path.push_back(row);
    Details().get_cell_area(path, *Details().get_column(0), area);
    return area.get_y() + area.get_height() / 2;
  }
  static GdkSeat* Seat() { return gdk_display_get_default_seat(gdk_display_get_default()); }
  void Button(GdkEventType type, guint button, const Glib::RefPtr<Gdk::Window>& window, int y) {
    GdkEvent* event = gdk_event_new(type);
    event->button.window = static_cast<GdkWindow*>(g_object_ref(window->gobj()));
    event->button.x = 20;
    event->button.y = y;
    event->button.button = button;
    gdk_event_set_device(event, gdk_seat_get_pointer(Seat()));
    gtk_widget_event(GTK_WIDGET(Details().gobj()), event);
    gdk_event_free(event);
    RunPendingEvents();
  }
  int clicks_ = 0;
};

TEST_F(ListViewInput, OnlyARowIsAClick) {
  Button(GDK_BUTTON_RELEASE, 1, Details().get_bin_window(), RowMiddle(1));
  EXPECT_EQ(clicks_, 1);
  Select(0);
  // Below the last row, and in the header's window: no new decision for the selection.
  Button(GDK_BUTTON_RELEASE, 1, Details().get_bin_window(), RowMiddle(1) + 200);
  Button(GDK_BUTTON_RELEASE, 1, Details().get_window(), 5);
  EXPECT_EQ(clicks_, 1);
}

}  // namespace
}  // namespace proclens::gtk_front
