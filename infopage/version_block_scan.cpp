#include "infopage/version_block_scan.h"

#include <algorithm>

namespace proclens {
namespace {

// The kept bytes of the block, gathered from its end towards its start so that
// zero pairs in the trailing padding, met before any text, add nothing.
std::string KeptBytes(const std::uint8_t* block, std::size_t n) {
  std::string reversed;
  for (std::size_t i = n - 1; i >= 1; --i) {
    const std::uint8_t b = block[i];
    if (b >= 0x20)
      reversed += static_cast<char>(b);
    else if (b == 0 && block[i - 1] == 0 && !reversed.empty())
      reversed += kScanSeparator;
  }
  return {reversed.rbegin(), reversed.rend()};
}

char FoldAsciiLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

std::size_t FindIgnoringLetterCase(const std::string& text, const std::string& key) {
  const auto found = std::search(text.begin(), text.end(), key.begin(), key.end(),
                                 [](char a, char b) { return FoldAsciiLetter(a) == FoldAsciiLetter(b); });
  return found == text.end() ? std::string::npos : static_cast<std::size_t>(found - text.begin());
}

}  // namespace

std::string ScanVersionBlock(const std::string& key, const std::uint8_t* block, std::size_t n) {
  if (n <= 10) return {};
  std::string text = KeptBytes(block, n);

  std::size_t at = text.find(key);
  if (at == std::string::npos) at = FindIgnoringLetterCase(text, key);
  if (at == std::string::npos) return {};

  // The key goes with everything before it and the one character after it.
  text.erase(0, std::min(text.size(), at + key.size() + 1));
  text.erase(0, std::min(text.size(), text.find_first_not_of(kScanSeparator)));
  const std::size_t cut = text.find(kScanSeparator);
  if (cut != std::string::npos) text.erase(cut);
  return text;
}

}  // namespace proclens
