#include "platform/linux/base/curl_library.h"

#include <cstdio>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {
namespace {

constexpr char kCurlSoname[] = "libcurl.so.4";

struct Loaded {
  CurlLibrary library;
  bool complete = false;
};

Loaded Load() {
  Loaded loaded;
  LibraryLoader loader(kCurlSoname);
#define PROCLENS_CURL_RESOLVE(name) loader.Resolve(loaded.library.name, #name);
  PROCLENS_CURL_FUNCTIONS(PROCLENS_CURL_RESOLVE)
#undef PROCLENS_CURL_RESOLVE
  if (!loader.error().empty()) {
    std::fprintf(stderr, "proclens: no HTTP client: %s\n", loader.error().c_str());
    return loaded;
  }
  loaded.complete = loaded.library.curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return loaded;
}

}  // namespace

const CurlLibrary* LoadCurl() {
  // A function-local static: loaded once, safely, whichever thread asks first.
  static const Loaded loaded = Load();
  return loaded.complete ? &loaded.library : nullptr;
}

}  // namespace proclens::linux_port
