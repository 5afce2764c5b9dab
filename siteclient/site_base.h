#pragma once
// The address of the publisher's site, ending in a slash. Built in with the
// PROCLENS_SITE_BASE build setting; the environment variable of the same name
// overrides it, which is how the tests point the program at a local site.

#include <string>

namespace proclens {

inline constexpr char kReportPath[] = "cgi/kestrel.pl?";

std::string SiteBase();

}  // namespace proclens
