#pragma once
// The five-character installation identifier: language, a constant, the two
// halves of the program's volume serial number and a checksum, in base 62.

#include <cstdint>
#include <string>

#include "platform/site_ops.h"
#include "platform/system_info.h"

namespace proclens {

// "0"-"9", "A"-"Z", "a"-"z" for the absolute value of n modulo 62.
char Base62Char(std::int32_t n);

// Base62Char of the sum of the text's bytes taken as unsigned; "0" for no text.
char ChecksumChar(const std::string& text);

// The root of the volume that holds path: "C:\", "\\server\share\", or for a
// POSIX path its folder (any path on a volume names that volume).
std::string VolumeRootOf(const std::string& path);

// The serial number of the volume holding the program, 0 when it cannot be read.
std::uint32_t ProgramVolumeSerial(SiteOps& ops);

std::string InstallationId(SiteOps& ops, SystemInfo& info);

}  // namespace proclens
