#pragma once
// The client identification sent as the User-Agent of the program's own requests:
//   viewer.exe/1 (Windows  NT 5.1, 0409 English/United States)
//   proclens/1 (Linux 6.1, 0409 English/United States)

#include <string>

#include "platform/site_ops.h"
#include "platform/system_info.h"

namespace proclens {

// The text after the last folder separator (backslash, colon or slash).
std::string ProgramFileName(const std::string& path);

// " (Windows  NT", " (Windows  9x" or " (Windows ?" by the platform identifier;
// " (Linux" on Linux.
std::string SystemPiece(const OsVersion& version);

// ", " + the language identifier in four upper-case hex digits + " " + the English
// language name + "/" + the English country name; a failed lookup leaves its name empty.
std::string LocaleDescription(SiteOps& ops, SystemInfo& info);

// The whole agent string of the running program.
std::string ComposeAgentString(SiteOps& ops, SystemInfo& info);

}  // namespace proclens
