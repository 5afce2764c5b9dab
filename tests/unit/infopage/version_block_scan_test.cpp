#include "infopage/version_block_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace proclens {
namespace {

std::string Scan(const std::string& key, const std::vector<std::uint8_t>& block) {
  return ScanVersionBlock(key, block.data(), block.size());
}

// 00 00 "Key" in UTF-16, a terminator pair, "Val" in UTF-16, a terminator pair.
const std::vector<std::uint8_t> kUtf16Block = {0x00, 0x00, 0x4B, 0x00, 0x65, 0x00, 0x79, 0x00, 0x00,
                                               0x00, 0x56, 0x00, 0x61, 0x00, 0x6C, 0x00, 0x00, 0x00};

TEST(ScanVersionBlock, FindsTheTextAfterAUtf16Key) {
  EXPECT_EQ(Scan("Key", kUtf16Block), "Val");
  EXPECT_EQ(Scan("key", kUtf16Block), "Val");  // the case-blind second search
  EXPECT_EQ(Scan("KEY", kUtf16Block), "Val");
  EXPECT_EQ(Scan("Foo", kUtf16Block), "");
}

TEST(ScanVersionBlock, DeletesTheCharacterRightAfterTheKey) {
  const std::vector<std::uint8_t> block = {0x00, 0x00, 0x4B, 0x65, 0x79, 0x58,
                                           0x56, 0x61, 0x6C, 0x00, 0x00, 0x00};
  EXPECT_EQ(Scan("Key", block), "Val");
}

TEST(ScanVersionBlock, BlocksOfTenBytesOrFewerGiveNothing) {
  const std::vector<std::uint8_t> ten = {0x00, 0x4B, 0x65, 0x79, 0x58, 0x56, 0x61, 0x6C, 0x6C, 0x6C};
  EXPECT_EQ(Scan("Key", ten), "");
  std::vector<std::uint8_t> eleven = ten;
  eleven.push_back(0x6C);
  EXPECT_EQ(Scan("Key", eleven), "Vallll");
  EXPECT_EQ(ScanVersionBlock("Key", nullptr, 0), "");
}

TEST(ScanVersionBlock, NeverTakesTheFirstByteOrControlBytes) {
  // The key starts at offset 0, which is only ever a neighbour.
  const std::vector<std::uint8_t> first = {'K', 'e', 'y', 'X', 'V', 'a', 'l', 0, 0, 0, 0, 0};
  EXPECT_EQ(Scan("Key", first), "");
  EXPECT_EQ(Scan("ey", first), "Val");
  const std::vector<std::uint8_t> controls = {0, 'K', 0x01, 'e', 0x1F, 'y', 'X', 'V', 0x0A, 'a', 'l', 0};
  EXPECT_EQ(Scan("Key", controls), "Val");
}

TEST(ScanVersionBlock, HighBytesAreKeptAndA8CountsAsASeparator) {
  const std::vector<std::uint8_t> high = {0, 0, 'K', 'e', 'y', 'X', 0xE4, 0xFC, 0, 0, 'Z', 0};
  EXPECT_EQ(Scan("Key", high), "\xE4\xFC");
  // A leading A8 is dropped like the separators before the value; the next ends it.
  const std::vector<std::uint8_t> a8 = {0, 0, 'K', 'e', 'y', 'X', 0xA8, 'V', 0xA8, 'W', 0, 0};
  EXPECT_EQ(Scan("Key", a8), "V");
}

TEST(ScanVersionBlock, SkipsSeparatorsBeforeTheValueAndStopsAtTheNext) {
  // Key, its terminator, padding, the value, its terminator, then more text.
  const std::vector<std::uint8_t> block = {0, 0, 'K', 'e', 'y', 0, 0, 0, 0, 0, 'V', 'a', 'l', 0, 0,
                                           'M', 'o', 'r', 'e', 0};
  EXPECT_EQ(Scan("Key", block), "Val");
}

TEST(ScanVersionBlock, PaddingAtTheEndIsIgnored) {
  std::vector<std::uint8_t> block = {0, 0, 'K', 'e', 'y', 'X', 'V', 'a', 'l'};
  block.resize(40, 0);
  EXPECT_EQ(Scan("Key", block), "Val");
  // A key at the very end leaves nothing behind it.
  const std::vector<std::uint8_t> tail = {0, 0, 0, 0, 0, 0, 0, 0, 'K', 'e', 'y', 'X'};
  EXPECT_EQ(Scan("Key", tail), "");
}

TEST(ScanVersionBlock, PrefersAnExactMatchOverAnEarlierCaseBlindOne) {
  const std::vector<std::uint8_t> block = {0, 'K', 'E', 'Y', '=', 'A', 0, 0, 'K', 'e', 'y', '=', 'B', 0};
  EXPECT_EQ(Scan("Key", block), "B");
  EXPECT_EQ(Scan("kEy", block), "A");
}

TEST(ScanVersionBlock, FoldsOnlyTheLettersAToZ) {
  // 0xE4 and 0xC4 differ only in the bit that case folding would ignore.
  const std::vector<std::uint8_t> block = {0, 0, 'K', 0xE4, 'y', 'X', 'V', 'a', 'l', 0, 0, 0};
  EXPECT_EQ(Scan("K\xC4y", block), "");
  EXPECT_EQ(Scan("k\xE4Y", block), "Val");
}

}  // namespace
}  // namespace proclens
