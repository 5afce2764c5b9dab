// The message box's text as the edit control shows it and as it is copied.

#include <gtest/gtest.h>

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

// A word of more than 2,000 characters is never shown whole; a shorter one always is.
TEST(MessageBoxText, OnlyVeryLongWordsAreShownInPiecesAndCopiedWhole) {
  const std::wstring hash(64, L'f'), long_word(4500, L'x');
  const std::wstring text = L"see " + hash + L"\r\n" + long_word + L" end";
  const std::wstring shown = WithSoftBreaks(text);
  EXPECT_EQ(shown.substr(0, 4 + 64 + 2), L"see " + hash + L"\r\n");
  EXPECT_EQ(shown.find(long_word.substr(0, 2001)), std::wstring::npos);
  EXPECT_EQ(WithoutSoftBreaks(shown), text);
  EXPECT_EQ(WithSoftBreaks(hash + L" " + std::wstring(2000, L'y')), hash + L" " + std::wstring(2000, L'y'));
}

}  // namespace
}  // namespace proclens::win32
