#include "infopage/text_replace.h"

#include <gtest/gtest.h>

#include "unit/infopage/fake_page_platform.h"

namespace proclens {
namespace {

TEST(ReplaceAllExact, ReplacesEveryOccurrenceLeftToRightWithoutOverlap) {
  EXPECT_EQ(ReplaceAllExact("_file_ and _file_.", "_file_", "a.exe"), "a.exe and a.exe.");
  EXPECT_EQ(ReplaceAllExact("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAllExact("no match", "xyz", "b"), "no match");
  // Case matters.
  EXPECT_EQ(ReplaceAllExact("_File_ _file_", "_file_", "x"), "_File_ x");
}

TEST(ReplaceAllExact, InsertedTextIsNotScannedAgain) {
  EXPECT_EQ(ReplaceAllExact("a-a", "a", "aa"), "aa-aa");
  EXPECT_EQ(ReplaceAllExact("_x_", "_x_", "_x__x_"), "_x__x_");
}

TEST(ReplaceAllExact, EmptyPatternOrTextLeavesTheText) {
  EXPECT_EQ(ReplaceAllExact("text", "", "x"), "text");
  EXPECT_EQ(ReplaceAllExact("", "a", "x"), "");
}

TEST(ReplaceAllExact, ZeroBytesAreOrdinaryBytes) {
  const std::string text("A\0_file_\0B", 10);
  EXPECT_EQ(ReplaceAllExact(text, "_file_", "x.exe"), std::string("A\0x.exe\0B", 9));
}

TEST(ReplaceAllInOnePass, TakesTheFirstOccurrenceOfAnyPatternAndNeverRescansWhatItInserted) {
  const std::vector<Replacement> fills = {{"_a_", "_b_"}, {"_b_", "_a_"}, {"_ab", "X"}, {"", "never"}};
  struct Case {
    std::string text;
    std::string filled;
  };
  const Case cases[] = {
      {"_a_ _b_ _a_", "_b_ _a_ _b_"},  // swapped, not swapped back
      {"_ab_", "X_"},                  // of two that start together, the first listed
      {"x_a_b_", "x_b_b_"},            // "_b_" overlaps the "_a_" found first: not an occurrence
      {std::string("\0_b_\0", 5), std::string("\0_a_\0", 5)},
      {"", ""},
      {"plain", "plain"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceAllInOnePass(c.text, fills), c.filled) << c.text;
}

TEST(ReplaceAllIgnoringCase, FindsInUpperCasedCopiesAndKeepsTheRestOfTheText) {
  const auto upper = [](std::string text) { return testing::AsciiUpper(std::move(text)); };
  EXPECT_EQ(ReplaceAllIgnoringCase("<img src=\"Pic.GIF\"> x.gif", ".gif", "", upper),
            "<img src=\"Pic\"> x");
  EXPECT_EQ(ReplaceAllIgnoringCase("Keep CASE here", "case", "case", upper), "Keep case here");
  EXPECT_EQ(ReplaceAllIgnoringCase("", "a", "b", upper), "");
  EXPECT_EQ(ReplaceAllIgnoringCase("abc", "", "b", upper), "abc");
}

TEST(ReplaceAllIgnoringCase, UsesThePlatformUpperCasing) {
  // A locale that upper-cases the 1252 byte 0xE4 to 0xC4 matches both.
  const auto upper = [](std::string text) {
    for (char& c : text) {
      if (c == '\xE4') c = '\xC4';
    }
    return testing::AsciiUpper(std::move(text));
  };
  EXPECT_EQ(ReplaceAllIgnoringCase("x\xC4y x\xE4y", "X\xE4Y", "-", upper), "- -");
}

TEST(ReplaceAllIgnoringCase, AnUpperCasingThatChangesLengthFallsBackToAsciiLetters) {
  const auto growing = [](std::string text) { return testing::AsciiUpper(text) + "!"; };
  EXPECT_EQ(ReplaceAllIgnoringCase("a.Gif b.gif", ".GIF", "", growing), "a b");
}

}  // namespace
}  // namespace proclens
