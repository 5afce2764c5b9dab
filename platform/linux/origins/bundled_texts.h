#pragma once
// The texts that a program's own tree ships about it (a Flatpak deployment,
// a snap, an AppImage's AppDir): AppStream metainfo and desktop entries. The
// trees belong to whoever made the bundle, so every file is read under a
// size cap (that of desktop entries and metainfo that packages install),
// non-blocking and only when it is a regular file.

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/desktop/appstream_metainfo.h"

namespace proclens::linux_port {

// The metainfo file's texts; nullopt when it is missing or no metainfo.
std::optional<MetainfoTexts> ReadMetainfoFile(const std::string& path, bool german);

// Of the metainfo files in folder, the one that names program as a binary,
// else the first by name; nullopt when none parses.
std::optional<MetainfoTexts> MetainfoInFolder(const std::string& folder, const std::string& program,
                                              bool german);

struct DesktopTexts {
  std::string name;     // Name
  std::string comment;  // Comment
  std::string icon;     // Icon, as written
};

// The texts of a desktop entry file; nullopt when it is missing or no
// application entry.
std::optional<DesktopTexts> ReadDesktopTexts(const std::string& path, bool german);

// The names in folder that end in suffix (an empty suffix: every name but .
// and ..), sorted; at most `most`, so that a folder filled on purpose cannot
// stall the page.
std::vector<std::string> NamesInFolder(const std::string& folder, const std::string& suffix,
                                       std::size_t most = 256);

// Whether path names a regular file (links followed).
bool IsRegularFile(const std::string& path);

}  // namespace proclens::linux_port
