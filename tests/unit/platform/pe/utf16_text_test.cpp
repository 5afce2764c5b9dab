#include "platform/pe/utf16_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace proclens::pe {
namespace {

std::string Convert(const std::vector<std::uint16_t>& units) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t u : units) {
    bytes.push_back(static_cast<std::uint8_t>(u));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return Utf16LeToUtf8(bytes.data(), bytes.size());
}

TEST(Utf16LeToUtf8, EncodesEveryRangeAndStopsAtTheFirstZero) {
  EXPECT_EQ(Convert({'A', 0x00E4, 0x20AC, 0xD83D, 0xDE00, 0, 'B'}), "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(Convert({}), "");
}

TEST(Utf16LeToUtf8, ReplacesSurrogatesWithoutTheirPartner) {
  EXPECT_EQ(Convert({0xD83D, 'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(Convert({0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Convert({'a', 0xD800}), "a\xEF\xBF\xBD");
}

TEST(Utf16LeToUtf8, IgnoresAnOddTrailingByte) {
  const std::uint8_t bytes[] = {'h', 0, 'i', 0, 'x'};
  EXPECT_EQ(Utf16LeToUtf8(bytes, sizeof bytes), "hi");
}

}  // namespace
}  // namespace proclens::pe
