#pragma once
// libcurl, loaded at the first exchange rather than with the program: it
// brings some twenty libraries (TLS, Kerberos, LDAP) whose loading and start-up
// code would otherwise run at every start, also of commands that never talk
// to the site.

// The functions are called through pointers; curl's checking macros would
// take those calls for its own.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include "platform/linux/base/library_loader.h"

namespace proclens::linux_port {

// Each member has the name and type of the libcurl function it points at.
#define PROCLENS_CURL_FUNCTIONS(X) \
  X(curl_global_init)              \
  X(curl_easy_init)                \
  X(curl_easy_cleanup)             \
  X(curl_easy_perform)             \
  X(curl_easy_setopt)              \
  X(curl_easy_getinfo)             \
  X(curl_easy_pause)               \
  X(curl_multi_init)               \
  X(curl_multi_cleanup)            \
  X(curl_multi_add_handle)         \
  X(curl_multi_remove_handle)      \
  X(curl_multi_perform)            \
  X(curl_multi_info_read)          \
  X(curl_multi_poll)

PROCLENS_LIBRARY_TABLE(CurlLibrary, PROCLENS_CURL_FUNCTIONS);

// The library, loaded and initialised at the first call and kept for the rest
// of the run; nullptr when it cannot be loaded.
const CurlLibrary* LoadCurl();

}  // namespace proclens::linux_port
