#include "platform/linux/window/webkit_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace proclens::gtk_front {
namespace {

constexpr char kWebKitSoname[] = "libwebkit2gtk-4.1.so.0";

struct Loaded {
  WebKitLibrary library;
  std::string error;  // empty when every function was found
};

Loaded LoadFunctions() {
  Loaded loaded;
  // Never closed: the views it makes live until the program ends.
  void* handle = ::dlopen(kWebKitSoname, RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    loaded.error = reason ? reason : kWebKitSoname;
    return loaded;
  }
#define PROCLENS_WEBKIT_RESOLVE(name)                                                    \
  loaded.library.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name));    \
  if (loaded.library.name == nullptr && loaded.error.empty()) {                          \
    loaded.error = std::string(kWebKitSoname) + " has no " #name;                        \
  }
  PROCLENS_WEBKIT_FUNCTIONS(PROCLENS_WEBKIT_RESOLVE)
#undef PROCLENS_WEBKIT_RESOLVE
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
