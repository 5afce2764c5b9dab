#include "infopage/text_replace.h"

namespace proclens {
namespace {

// Replaces at the occurrences of pattern in haystack, which has the same
// length as text and lines up with it byte for byte.
std::string ReplaceAt(const std::string& text, const std::string& haystack,
                      const std::string& pattern, const std::string& replacement) {
  if (pattern.empty() || text.empty()) return text;
  std::string result;
  std::size_t copied = 0;
  for (std::size_t found = haystack.find(pattern); found != std::string::npos;
       found = haystack.find(pattern, copied)) {
    result.append(text, copied, found - copied);
    result += replacement;
    copied = found + pattern.size();
  }
  if (copied == 0) return text;
  result.append(text, copied, std::string::npos);
  return result;
}

std::string AsciiUpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

std::string ReplaceAllExact(const std::string& text, const std::string& pattern,
                            const std::string& replacement) {
  return ReplaceAt(text, text, pattern, replacement);
}

std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement,
                                   const std::function<std::string(std::string)>& upper_case) {
  if (pattern.empty() || text.empty()) return text;
  std::string upper_text = upper_case(text);
  std::string upper_pattern = upper_case(pattern);
  if (upper_text.size() != text.size() || upper_pattern.size() != pattern.size()) {
    upper_text = AsciiUpperCase(text);
    upper_pattern = AsciiUpperCase(pattern);
  }
  return ReplaceAt(text, upper_text, upper_pattern, replacement);
}

}  // namespace proclens
