#include "platform/win32/window/list_dump.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace proclens::win32 {

void DumpListIfAsked(MainWindow& window) {
  const char* path = std::getenv("PROCLENS_DUMP_LIST");
  if (!path || !*path) return;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "wb"), std::fclose);
  if (!file) return;
  std::fprintf(file.get(), "browser\t%d\n", window.web_browser().HasControl() ? 1 : 0);
  const Win32ListView& list = window.list_view();
  for (std::size_t row = 0; row < list.ItemCount(); ++row) {
    const ProcessItem item = list.Item(row);
    std::fprintf(file.get(), "item\t%u\t%s\t%s\n", static_cast<unsigned>(item.pid),
                 item.caption.c_str(), item.sub_items.empty() ? "" : item.sub_items[0].c_str());
  }
}

}  // namespace proclens::win32
