#include "platform/win32/window/list_dump.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace proclens::win32 {
namespace {

const char* ViewName(ViewStyle style) {
  switch (style) {
    case ViewStyle::LargeIcons: return "LargeIcons";
    case ViewStyle::SmallIcons: return "SmallIcons";
    case ViewStyle::Report: break;
  }
  return "Report";
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\r') escaped += "\\r";
    else if (c == '\n') escaped += "\\n";
    else if (c == '\t') escaped += "\\t";
    else escaped += c;
  }
  return escaped;
}

void WriteDump(MainWindow& window, const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return;
  FILE* out = file.get();
  Win32ListView& list = window.list_view();
  std::fprintf(out, "browser\t%d\n", window.web_browser().HasControl() ? 1 : 0);
  std::fprintf(out, "view\t%s\n", ViewName(list.GetViewStyle()));
  std::fprintf(out, "client\t%d\t%d\n", window.form_window().ClientWidth(),
               window.form_window().ClientHeight());
  std::fprintf(out, "vscroll\t%d\n", GetSystemMetrics(SM_CXVSCROLL));
  std::fprintf(out, "top_label\t%s\n", Escaped(window.top_label().Text()).c_str());
  for (int column = 0; column < list.ColumnCount(); ++column) {
    std::fprintf(out, "column\t%d\t%s\t%d\n", column, list.ColumnCaption(column).c_str(),
                 list.ColumnWidth(column));
  }
  const char* names[] = {"large", "small", "report"};
  for (int index = 0; index < 3; ++index) {
    Win32SpeedButton& button = window.speed_button(index);
    std::fprintf(out, "button\t%s\t%d\t%d\t%d\t%d\n", names[index], button.Left(), button.Top(),
                 button.Width(), button.Down() ? 1 : 0);
  }
  std::fprintf(out, "images\t%d\t%d\n", window.large_image_list().Count(),
               window.small_image_list().Count());
  const RECT list_rect = ChildRect(list.handle());
  const RECT pane_rect = ChildRect(window.web_browser().pane());
  std::fprintf(out, "panes\t%ld\t%ld\t%ld\t%ld\n", list_rect.top, list_rect.bottom - list_rect.top,
               pane_rect.top, pane_rect.bottom - pane_rect.top);
  std::fprintf(out, "menu\t%s\n", window.show_in_explorer_popupmenu().Caption().c_str());
  std::fprintf(out, "status\t%s\n", Escaped(window.status_bar().Text()).c_str());
  for (std::size_t row = 0; row < list.ItemCount(); ++row) {
    const ProcessItem item = list.Item(row);
    std::fprintf(out, "item\t%u\t%s\t%s\n", static_cast<unsigned>(item.pid), item.caption.c_str(),
                 item.sub_items.empty() ? "" : item.sub_items[0].c_str());
  }
}

}  // namespace

void InstallListDumpIfAsked(MainWindow& window) {
  const char* path = std::getenv("PROCLENS_DUMP_LIST");
  if (!path || !*path) return;
  const std::string target = path;
  window.after_change = [&window, target] { WriteDump(window, target); };
  WriteDump(window, target);
}

}  // namespace proclens::win32
