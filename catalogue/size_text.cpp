#include "catalogue/size_text.h"

#include "platform/narrow_text.h"

namespace proclens {

std::string FormatSizeText(std::int64_t size) {
  const std::string digits = std::to_string(size);
  const std::size_t n = digits.size();
  if (n <= 3) return digits;
  const std::string sep = narrow::kAcuteAccent;
  if (n <= 6) return digits.substr(0, n - 3) + sep + digits.substr(n - 3);
  return digits.substr(0, n - 6) + sep + digits.substr(n - 6, 3) + sep + digits.substr(n - 3);
}

}  // namespace proclens
