#pragma once
// The version resource of a PE file (32- or 64-bit), read with a handful of
// positioned reads: the headers, the section table, three levels of the
// resource tree and the resource's own bytes.

#include <cstdint>
#include <vector>

#include "platform/pe/positioned_reader.h"

namespace proclens::pe {

// Real version blocks are a few KiB; anything larger is not trusted.
inline constexpr std::uint32_t kMaxVersionBlockSize = 64 * 1024;

// The bytes of the file's RT_VERSION resource (the VS_VERSIONINFO block):
// resource 1 when there is one, else the first. Of its languages, the one the
// loader would pick for a neutral request: neutral, the user's language, its
// primary language, U.S. English, else the first listed. The bytes are those
// the loader maps: where the resource runs past its section's raw data into
// the section's virtual size, the rest is zeros. Empty when the file is not a
// PE file, has no such resource, or any offset or size in the way points
// outside the file or the mapped section.
std::vector<std::uint8_t> ReadVersionResource(PositionedReader& file,
                                              std::uint16_t user_language = 0x0409);

}  // namespace proclens::pe
