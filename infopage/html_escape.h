#pragma once
// Text from outside the program (file names, folders, version texts) put into
// an HTML page: it must read as text, never as markup, both between tags and
// inside a double- or single-quoted attribute value.

#include <string>
#include <string_view>

namespace proclens {

// Replaces & < > " ' by their character references. Every other byte passes
// unchanged, so narrow text keeps its encoding (ANSI or UTF-8).
std::string EscapeHtml(std::string_view text);

}  // namespace proclens
