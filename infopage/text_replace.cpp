#include "infopage/text_replace.h"

namespace proclens {
namespace {

std::vector<std::size_t> FindAll(const std::string& haystack, const std::string& pattern) {
  std::vector<std::size_t> found;
  if (pattern.empty()) return found;
  for (std::size_t at = haystack.find(pattern); at != std::string::npos;
       at = haystack.find(pattern, at + pattern.size())) {
    found.push_back(at);
  }
  return found;
}

// Puts the replacement at each of the positions, where pattern_size bytes of
// text stood.
std::string ReplaceAt(const std::string& text, const std::vector<std::size_t>& positions,
                      std::size_t pattern_size, const std::string& replacement) {
  if (positions.empty()) return text;
  std::string result;
  std::size_t copied = 0;
  for (const std::size_t at : positions) {
    result.append(text, copied, at - copied);
    result += replacement;
    copied = at + pattern_size;
  }
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
  return ReplaceAt(text, FindAll(text, pattern), pattern.size(), replacement);
}

std::string ReplaceAllInOnePass(const std::string& text, const std::vector<Replacement>& replacements) {
  std::string result;
  std::size_t copied = 0;
  for (;;) {
    std::size_t first_at = std::string::npos;
    const Replacement* first = nullptr;
    for (const Replacement& replacement : replacements) {
      if (replacement.pattern.empty()) continue;
      const std::size_t at = text.find(replacement.pattern, copied);
      if (at < first_at) {
        first_at = at;
        first = &replacement;
      }
    }
    if (first == nullptr) break;
    result.append(text, copied, first_at - copied);
    result += first->text;
    copied = first_at + first->pattern.size();
  }
  result.append(text, copied, std::string::npos);
  return result;
}

std::vector<std::size_t> FindAllIgnoringCase(const std::string& text, const std::string& pattern,
                                             const std::function<std::string(std::string)>& upper_case) {
  if (pattern.empty() || text.empty()) return {};
  std::string upper_text = upper_case(text);
  std::string upper_pattern = upper_case(pattern);
  if (upper_text.size() != text.size() || upper_pattern.size() != pattern.size()) {
    upper_text = AsciiUpperCase(text);
    upper_pattern = AsciiUpperCase(pattern);
  }
  return FindAll(upper_text, upper_pattern);
}

std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement,
                                   const std::function<std::string(std::string)>& upper_case) {
  return ReplaceAt(text, FindAllIgnoringCase(text, pattern, upper_case), pattern.size(), replacement);
}

}  // namespace proclens
