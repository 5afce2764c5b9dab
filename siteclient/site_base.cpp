#include "siteclient/site_base.h"

#include <cstdlib>

#ifndef PROCLENS_SITE_BASE
#define PROCLENS_SITE_BASE "http://proclens.example/"
#endif

namespace proclens {

std::string SiteBase() {
  const char* override_base = std::getenv("PROCLENS_SITE_BASE");
  std::string base = override_base && *override_base ? override_base : PROCLENS_SITE_BASE;
  // Every address is the base followed by a path without a leading slash.
  if (base.empty() || base.back() != '/') base += '/';
  return base;
}

}  // namespace proclens
