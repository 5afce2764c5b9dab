#include "platform/linux/window/debug_hooks.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <utility>

#include "platform/linux/window/main_window.h"

namespace proclens::gtk_front {
namespace {

// Tabs and line breaks inside a field would break the record format.
std::string Field(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '\t': escaped += "\\t"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\\': escaped += "\\\\"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

const char* ViewName(ViewStyle style) {
  switch (style) {
    case ViewStyle::LargeIcons: return "large";
    case ViewStyle::SmallIcons: return "small";
    case ViewStyle::Report: break;
  }
  return "report";
}

// Written beside the target and renamed over it, so a reader never sees half a dump.
void WriteDump(MainWindow& window, const std::string& file) {
  const std::string partial = file + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << ListDumpText(window);
    if (!out) return;
  }
  std::rename(partial.c_str(), file.c_str());
}

std::string& LastTitle() {
  static std::string title;
  return title;
}

}  // namespace

std::string ListDumpText(MainWindow& window) {
  GtkListView& list = window.list_view();
  std::string text;
  text += "view\t" + std::string(ViewName(list.GetViewStyle())) + "\n";
  text += "top_label\t" + Field(window.top_label().Text()) + "\n";
  for (int column = 0; column < list.ColumnCount(); ++column) {
    text += "column\t" + std::to_string(column) + "\t" + Field(list.ColumnCaption(column)) + "\t" +
            std::to_string(list.ColumnWidth(column)) + "\n";
  }
  FormControls controls = window.Controls();
  text += "menu\t" + Field(controls.show_in_explorer_popupmenu.Caption()) + "\t" +
          (list.popup_menu().get_visible() ? "open" : "closed") + "\n";
  const std::pair<const char*, SpeedButton*> buttons[] = {{"large", &controls.large_speed_button},
                                                          {"small", &controls.small_speed_button},
                                                          {"report", &controls.report_speed_button}};
  for (const auto& [name, button] : buttons) {
    text += std::string("button\t") + name + "\t" + std::to_string(button->Left()) + "\t" +
            std::to_string(button->Top()) + "\t" + std::to_string(button->Width()) + "\t" +
            (button->Down() ? "down" : "up") + "\n";
  }
  text += "client\t" + std::to_string(controls.form.ClientWidth()) + "\t" +
          std::to_string(controls.form.ClientHeight()) + "\n";
  text += "status\t" + Field(window.status_bar().Text()) + "\n";
  text += "title\t" + Field(LastTitle()) + "\n";
  for (std::size_t i = 0; i < list.ItemCount(); ++i) {
    ProcessItem item = list.Item(i);
    text += "item\t" + std::to_string(item.pid) + "\t" + Field(item.caption) + "\t" +
            Field(item.sub_items.empty() ? "" : item.sub_items[0]) + "\n";
  }
  return text;
}

void InstallDebugHooks(MainWindow& window) {
  if (const char* file = std::getenv("PROCLENS_DUMP_LIST"); file != nullptr && *file != '\0') {
    const std::string target = file;
    WriteDump(window, target);
    window.list_view().on_view_style_changed = [&window, target] { WriteDump(window, target); };
    window.on_resized = [&window, target] { WriteDump(window, target); };
    // After the form's handler, so the dump holds the sorted order.
    auto column_click = window.list_view().on_column_click;
    window.list_view().on_column_click = [column_click, &window, target](int column) {
      if (column_click) column_click(column);
      WriteDump(window, target);
    };
    Gtk::Menu& popup = window.list_view().popup_menu();
    popup.signal_show().connect([&window, target] { WriteDump(window, target); }, true);
    popup.signal_hide().connect([&window, target] { WriteDump(window, target); }, true);
    window.web_browser().on_title_seen = [&window, target](const std::string& title) {
      LastTitle() = title;
      WriteDump(window, target);
    };
  }
  if (const char* address = std::getenv("PROCLENS_NAVIGATE"); address != nullptr && *address != '\0') {
    const std::string target = address;
    window.Dispatch([&window, target] { window.web_browser().Navigate(target); });
  }
  if (const char* mark = std::getenv("PROCLENS_STARTUP_MARK"); mark != nullptr && *mark != '\0') {
    auto connection = std::make_shared<sigc::connection>();
    *connection = window.signal_draw().connect(
        [connection](const Cairo::RefPtr<Cairo::Context>&) {
          const gint64 now = g_get_real_time();
          std::fprintf(stderr, "proclens: first frame %lld.%06lld\n",
                       static_cast<long long>(now / 1000000), static_cast<long long>(now % 1000000));
          std::fflush(stderr);
          connection->disconnect();
          return false;
        },
        true);
  }
}

}  // namespace proclens::gtk_front
