#pragma once

#include <cstdint>
#include <string>

namespace proclens {

// Decimal digits with the accent separator before the last three digits and,
// for seven digits or more, before the three before them; never a third one.
std::string FormatSizeText(std::int64_t size);

// The word that follows every size text, in both languages.
inline constexpr char kSizeUnit[] = " byte";

}  // namespace proclens
