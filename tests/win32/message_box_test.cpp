// The message box's text as the edit control shows it and as it is copied.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/window/win32_message_box.h"

namespace proclens::win32 {
namespace {

TEST(MessageBoxText, EveryLineBreakBecomesTheEditControlsPair) {
  const struct {
    const wchar_t* text;
    const wchar_t* shown;
  } cases[] = {{L"a\nb", L"a\r\nb"}, {L"a\r\nb", L"a\r\nb"}, {L"a\rb", L"a\r\nb"},
               {L"\n\r\r\n", L"\r\n\r\n\r\n"}, {L"no break", L"no break"}};
  for (const auto& c : cases) EXPECT_EQ(WithEditLineBreaks(c.text), c.shown);
}

TEST(MessageBoxText, OnlyVeryLongWordsAreShownInPiecesAndCopiedWhole) {
  const std::wstring hash(64, L'f'), long_word(4500, L'x');
  const std::wstring text = L"see " + hash + L"\r\n" + long_word + L" end";
  const std::wstring shown = WithSoftBreaks(text);
  EXPECT_EQ(shown.substr(0, 4 + 64 + 2), L"see " + hash + L"\r\n");  // the hash stays whole
  std::size_t breaks = 0, longest_piece = 0, piece_start = 4 + 64 + 2;
  for (std::size_t at = shown.find(L"\r\r\n"); at != std::wstring::npos; at = shown.find(L"\r\r\n", at + 1)) {
    ++breaks;
    longest_piece = std::max(longest_piece, at - piece_start);
    piece_start = at + 3;
  }
  EXPECT_EQ(breaks, 8u);  // 4,500 characters in nine pieces
  EXPECT_LE(longest_piece, 500u);
  EXPECT_EQ(WithoutSoftBreaks(shown), text);
  EXPECT_EQ(WithSoftBreaks(hash + L" " + std::wstring(2000, L'y')), hash + L" " + std::wstring(2000, L'y'));
}

}  // namespace
}  // namespace proclens::win32
