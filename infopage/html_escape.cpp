#include "infopage/html_escape.h"

#include <cstdio>

namespace proclens {

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&#39;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string EscapeCss(std::string_view text) {
  // Blanks and controls end a url(); quotes and the backslash end a string or
  // start an escape; "<" could close the style element.
  constexpr std::string_view kCssSyntax = "\\\"'()<>&;{}";
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || (byte > 0x20 && byte < 0x7F && kCssSyntax.find(c) == std::string_view::npos)) {
      escaped += c;
      continue;
    }
    // A hex escape ends at the blank after it, so the next byte is never read
    // as one of its digits.
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\%x ", byte);
    escaped += hex;
  }
  return escaped;
}

}  // namespace proclens
