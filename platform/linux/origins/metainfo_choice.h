#pragma once
// Which of the AppStream metainfo files that one package installs speaks for
// a given program. Every package source makes the same choice, so that a
// program reads the same whatever installed it.

#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/appstream_metainfo.h"

namespace proclens::linux_port {

// The folders below which packages install metainfo (appdata is the older name).
inline constexpr const char* kMetainfoFolders[] = {"/usr/share/metainfo/", "/usr/share/appdata/"};

// The texts of files (absolute paths as the package lists them, read below
// root, which ends in '/'), in the order of their file names; a file that
// cannot be read or is no metainfo is left out.
std::vector<MetainfoTexts> ReadMetainfo(std::vector<std::string> files, const std::string& root, bool german);

// Of them, the one whose <provides><binary> names program, else the first;
// nullptr when there is none.
const MetainfoTexts* ChooseMetainfo(const std::vector<MetainfoTexts>& metainfo, std::string_view program);

}  // namespace proclens::linux_port
