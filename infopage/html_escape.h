#pragma once
// Text from outside the program (file names, folders, version texts) put into
// an HTML page: it must read as text, never as markup, both between tags and
// inside a double- or single-quoted attribute value, and in the page's style
// sheet.

#include <string>
#include <string_view>

namespace proclens {

// Replaces & < > " ' by their character references. Every other byte passes
// unchanged, so narrow text keeps its encoding (ANSI or UTF-8).
std::string EscapeHtml(std::string_view text);

// The same text for a style sheet, inside a quoted string or a url(): every
// byte that could end the string, the url() or the style element, or start an
// escape, becomes a CSS hex escape. Bytes from 0x80 up pass unchanged.
std::string EscapeCss(std::string_view text);

}  // namespace proclens
