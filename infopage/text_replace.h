#pragma once
// Replacing every occurrence of a text in a page, left to right, never
// rescanning what was put in.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace proclens {

// Occurrences are found by exact byte comparison and do not overlap; an empty
// pattern or an empty text leaves the text as it is.
std::string ReplaceAllExact(const std::string& text, const std::string& pattern,
                            const std::string& replacement);

struct Replacement {
  std::string pattern;
  std::string text;
};

// Every occurrence of each pattern replaced in a single pass from left to
// right: at each step the occurrence that starts first (of two that start
// together, the one listed first). No inserted text is ever scanned again, so
// no pattern matches inside what another one put in.
std::string ReplaceAllInOnePass(const std::string& text, const std::vector<Replacement>& replacements);

// The same as ReplaceAllExact, but occurrences are found in copies of both texts that upper_case
// has made; the positions found there are used on the unchanged text. An
// upper-casing that changes the length of either text cannot give positions
// in the original, so then only the letters a to z are upper-cased.
std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement,
                                   const std::function<std::string(std::string)>& upper_case);

// Where ReplaceAllIgnoringCase would replace: the start of every occurrence,
// left to right, without overlap.
std::vector<std::size_t> FindAllIgnoringCase(const std::string& text, const std::string& pattern,
                                             const std::function<std::string(std::string)>& upper_case);

}  // namespace proclens
