#pragma once
// A version block (the VS_VERSIONINFO layout of a PE version resource) that
// holds a package's texts, so that the version queries answer for a Linux
// program exactly as they do for a Windows one.

#include <cstdint>
#include <vector>

#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

// One string table in the language given, code page 1200 (UTF-16), and a
// translation entry that names it. Empty texts are left out of the table;
// texts too long for it are cut where a character begins.
std::vector<std::uint8_t> PackageVersionBlock(const OriginTexts& texts, std::uint16_t language);

}  // namespace proclens::linux_port
