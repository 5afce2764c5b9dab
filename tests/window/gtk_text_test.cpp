#include "platform/linux/window/gtk_text.h"

#include <gtest/gtest.h>

namespace proclens::gtk_front {
namespace {

TEST(GtkText, InvalidBytesAreReplacedValidTextKept) {
  EXPECT_EQ(ValidUtf8("Dateigr\xC3\xB6\xC3\x9F" "e"), "Dateigr\xC3\xB6\xC3\x9F" "e");
  const std::string repaired = ValidUtf8("gr\xF6\xDF" "e");  // Windows-1252 bytes
  EXPECT_NE(repaired, "gr\xF6\xDF" "e");
  EXPECT_EQ(repaired.substr(0, 2), "gr");
  EXPECT_EQ(repaired.back(), 'e');
  // A zero byte would end the text in GTK's hands; it is shown as a replacement.
  EXPECT_EQ(ValidUtf8(std::string("a\0b", 3)), "a\xEF\xBF\xBD" "b");
}

TEST(GtkText, LoneCarriageReturnsBecomeLineFeeds) {
  EXPECT_EQ(WithLineFeeds("What is running?\rCheck it out."), "What is running?\nCheck it out.");
  EXPECT_EQ(WithLineFeeds("one\r\ntwo\r"), "one\ntwo\n");
  EXPECT_EQ(WithLineFeeds("no break"), "no break");
}

TEST(GtkText, AcceleratorMarksBecomeMnemonics) {
  EXPECT_EQ(MnemonicLabel("&Open file location"), "_Open file location");
  EXPECT_EQ(MnemonicLabel("Save && quit"), "Save & quit");
  EXPECT_EQ(MnemonicLabel("snake_case &x"), "snake__case _x");
  EXPECT_EQ(MnemonicLabel("trailing &"), "trailing _");
}

}  // namespace
}  // namespace proclens::gtk_front
