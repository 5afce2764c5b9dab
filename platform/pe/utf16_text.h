#pragma once
// UTF-16 text of version blocks turned into UTF-8, and back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace proclens::pe {

// The little-endian UTF-16 text at bytes[0..size) up to its first zero unit (or
// the last whole unit), as UTF-8. A surrogate without its partner becomes U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t size);

// UTF-8 text as UTF-16 units; a byte that begins no valid character becomes
// U+FFFD rather than ending the text.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace proclens::pe
