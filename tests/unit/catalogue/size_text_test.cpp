#include "catalogue/size_text.h"

#include <gtest/gtest.h>

#include "platform/narrow_text.h"

namespace proclens {
namespace {

// "1'234" with the build's separator in place of the apostrophe.
std::string Sized(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\'' ? std::string(narrow::kAcuteAccent) : std::string(1, c);
  return out;
}

TEST(SizeText, SeparatorsBeforeTheLastThreeAndSixDigitsOnly) {
  EXPECT_EQ(FormatSizeText(4), "4");
  EXPECT_EQ(FormatSizeText(999), "999");
  EXPECT_EQ(FormatSizeText(1000), Sized("1'000"));
  EXPECT_EQ(FormatSizeText(999999), Sized("999'999"));
  EXPECT_EQ(FormatSizeText(123456), Sized("123'456"));
  EXPECT_EQ(FormatSizeText(1234567), Sized("1'234'567"));
  EXPECT_EQ(FormatSizeText(2147483647), Sized("2147'483'647"));
  EXPECT_EQ(FormatSizeText(5368709120), Sized("5368'709'120"));
#if !defined(_WIN32)
  EXPECT_EQ(FormatSizeText(1000), "1\xC2\xB4" "000");  // UTF-8 outside the Win32 build
#endif
}

}  // namespace
}  // namespace proclens
