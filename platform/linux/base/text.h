#pragma once
// Text helpers that every part of the Linux port shares.

#include <string_view>

namespace proclens::linux_port {

// What follows a path's last '/' (the whole text when it has none).
inline std::string_view BaseName(std::string_view path) { return path.substr(path.rfind('/') + 1); }

// The text without blanks, tabs and line ends at either end.
inline std::string_view Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace proclens::linux_port
