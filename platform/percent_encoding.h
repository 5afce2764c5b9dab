#pragma once
// Addresses hold some bytes only as %XX escapes: a blank, '%' itself, and the
// '?' and '#' that would otherwise begin a query or a fragment.

#include <string>
#include <string_view>

namespace proclens {

// Letters, digits and the marks an address path may hold as they stand are
// kept; every other byte (blanks, '%', '?', '#', bytes outside ASCII) becomes
// %XX. With keep_slashes the '/' between folders stays, so that a file path
// stays a path; without it the text is one segment and '/' is escaped too.
std::string PercentEncode(std::string_view text, bool keep_slashes);

// Every %XX escape back to its byte; a '%' not followed by two hex digits
// stays as it stands.
std::string PercentDecode(std::string_view text);

}  // namespace proclens
