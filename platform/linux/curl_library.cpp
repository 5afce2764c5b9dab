#include "platform/linux/curl_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

namespace proclens::linux_port {
namespace {

constexpr char kCurlSoname[] = "libcurl.so.4";

struct Loaded {
  CurlLibrary library;
  bool complete = false;
};

Loaded Load() {
  Loaded loaded;
  // Never closed: handles made with it may live until the program ends.
  void* handle = ::dlopen(kCurlSoname, RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    std::fprintf(stderr, "proclens: no HTTP client: %s\n", reason ? reason : kCurlSoname);
    return loaded;
  }
  std::string missing;
#define PROCLENS_CURL_RESOLVE(name)                                                    \
  loaded.library.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
  if (loaded.library.name == nullptr && missing.empty()) missing = #name;
  PROCLENS_CURL_FUNCTIONS(PROCLENS_CURL_RESOLVE)
#undef PROCLENS_CURL_RESOLVE
  if (!missing.empty()) {
    std::fprintf(stderr, "proclens: no HTTP client: %s has no %s\n", kCurlSoname, missing.c_str());
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
