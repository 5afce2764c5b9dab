#include "platform/linux/base/curl_library.h"

namespace proclens::linux_port {

const CurlLibrary* LoadCurl() {
  static const auto loaded =
      LoadLibraryTable<CurlLibrary>({"libcurl.so.4"}, "no HTTP client", [](CurlLibrary& curl) -> std::string {
        return curl.curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK ? "" : "curl_global_init failed";
      });
  return loaded.get();
}

}  // namespace proclens::linux_port
