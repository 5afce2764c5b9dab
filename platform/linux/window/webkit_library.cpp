#include "platform/linux/window/webkit_library.h"

#include <cstdio>

#include "platform/linux/base/library_loader.h"

namespace proclens::gtk_front {
namespace {

constexpr char kWebKitSoname[] = "libwebkit2gtk-4.1.so.0";

struct Loaded {
  WebKitLibrary library;
  std::string error;  // empty when every function was found
};

Loaded LoadFunctions() {
  Loaded loaded;
  linux_port::LibraryLoader loader(kWebKitSoname);
#define PROCLENS_WEBKIT_RESOLVE(name) loader.Resolve(loaded.library.name, #name);
  PROCLENS_WEBKIT_FUNCTIONS(PROCLENS_WEBKIT_RESOLVE)
#undef PROCLENS_WEBKIT_RESOLVE
  loaded.error = loader.error();
  return loaded;
}

Loaded Load() {
  Loaded loaded = LoadFunctions();
  if (!loaded.error.empty()) std::fprintf(stderr, "proclens: no browser pane: %s\n", loaded.error.c_str());
  return loaded;
}

}  // namespace

const WebKitLibrary* LoadWebKit(std::string* error) {
  static const Loaded loaded = Load();
  if (!loaded.error.empty()) {
    if (error != nullptr) *error = loaded.error;
    return nullptr;
  }
  return &loaded.library;
}

}  // namespace proclens::gtk_front
