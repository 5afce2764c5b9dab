#pragma once
// Merged /usr, as Debian 12 and Fedora have it: /bin, /sbin and the /lib
// folders are links into /usr, so that /bin/x and /usr/bin/x name one file
// that a package may list under either name.

#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

// Whether path lies below one of the folders that merged /usr makes links.
bool UnderLinkedFolder(std::string_view path);

// The path as it stands, or under /usr when it lies below one of those folders.
std::string MergedUsrPath(std::string_view path);

// The other name that merged /usr gives the file: /usr/bin/x for /bin/x and
// /bin/x for /usr/bin/x; nullopt for a path in no merged folder.
std::optional<std::string> MergedUsrAlias(const std::string& path);

}  // namespace proclens::linux_port
