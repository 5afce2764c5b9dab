#pragma once
// UTF-16 text of version blocks turned into UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

namespace proclens::pe {

// The little-endian UTF-16 text at bytes[0..size) up to its first zero unit (or
// the last whole unit), as UTF-8. A surrogate without its partner becomes U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t size);

}  // namespace proclens::pe
