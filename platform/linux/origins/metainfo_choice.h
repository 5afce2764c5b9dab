#pragma once
// Which of the AppStream metainfo files that one package installs speaks for
// a given program. Every package source makes the same choice, so that a
// program reads the same whatever installed it.

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/appstream_metainfo.h"

namespace proclens::linux_port {

// The folders below which packages install metainfo (appdata is the older name).
inline constexpr const char* kMetainfoFolders[] = {"/usr/share/metainfo/", "/usr/share/appdata/"};

// Of files (absolute paths as the package lists them, read below root, which
// ends in '/'), the one whose <provides><binary> names program, else the
// first well-formed one by file name; nullopt when none can be read.
std::optional<MetainfoTexts> ChooseMetainfo(std::vector<std::string> files, const std::string& root,
                                            const std::string& program, bool german);

}  // namespace proclens::linux_port
