#pragma once
// What the files that one package installs say of a program: which of its
// AppStream metainfo files speaks for the program, and which of its desktop
// entries gives the application's icon. Every package source makes the same
// choice, so that a program reads the same whatever installed it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/desktop/appstream_metainfo.h"
#include "platform/linux/origins/program_origin.h"

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

// Each text that the metainfo gives (summary, name, developer) in place of
// the one texts held before: a package's own record, a bundle's fallback.
void OverlayMetainfo(OriginTexts& texts, const MetainfoTexts& metainfo);

// "Name <address>" gives "Name"; an address alone gives empty (a package's
// maintainer or packager, as its record writes them).
std::string MaintainerName(std::string_view maintainer);

// The folder below which packages install desktop entries.
inline constexpr const char* kApplicationsFolder = "/usr/share/applications/";

// The icon of the first of these desktop entries (absolute paths as the
// package lists them, read below root), by path, that is an application's
// with an icon: a helper program without an entry of its own so shows its
// application's icon. nullopt when none has one.
std::optional<std::string> FirstEntryIcon(std::vector<std::string> entries, const std::string& root);

}  // namespace proclens::linux_port
