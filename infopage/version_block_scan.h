#pragma once
// The last resort for a version block without a translation table: a key's
// text pulled out of the block's raw bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace proclens {

// Marks, inside the scan only, a place where the block has two zero bytes in a row.
inline constexpr char kScanSeparator = '\xA8';

// The printable bytes of the block in block order (the first byte never
// counts), with a separator for every zero pair met after some text; then
// the text after the key and the one character behind it, up to the next
// separator. Empty when the key is not in the block or n is 10 or less.
std::string ScanVersionBlock(const std::string& key, const std::uint8_t* block, std::size_t n);

}  // namespace proclens
