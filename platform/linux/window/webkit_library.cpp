#include "platform/linux/window/webkit_library.h"

namespace proclens::gtk_front {

const WebKitLibrary* LoadWebKit(std::string* error) {
  static const auto loaded = linux_port::LoadLibraryTable<WebKitLibrary>({"libwebkit2gtk-4.1.so.0"}, "no browser pane");
  if (!loaded.error.empty() && error != nullptr) *error = loaded.error;
  return loaded.get();
}

}  // namespace proclens::gtk_front
