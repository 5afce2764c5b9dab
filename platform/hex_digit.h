#pragma once
// The value of one hexadecimal digit, as escapes in addresses (%2F) and in
// systemd's names (\x2d) write a byte.

namespace proclens {

// 0 to 15, or -1 for a character that is no hex digit.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace proclens
