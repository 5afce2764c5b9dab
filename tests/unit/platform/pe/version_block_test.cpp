#include "platform/pe/version_block.h"

#include <gtest/gtest.h>

#include <cstring>

#include "unit/infopage/version_block_builder.h"

namespace proclens::pe {
namespace {

using namespace proclens::testing;

std::vector<std::uint8_t> SampleBlock() {
  return Serialize(VersionRoot({
      StringFileInfo({StringTable(u"040904b0", {{u"CompanyName", u"Acme"},
                                                {u"FileDescription", u"Caf\u00e9 \U0001F600"},
                                                {u"Comments", u""}})}),
      VarFileInfo({{0x0409, 0x04B0}, {0x0407, 0x04E4}})}));
}

std::optional<std::string> Text(const std::vector<std::uint8_t>& block, std::string_view path) {
  const auto value = QueryBlock(block.data(), block.size(), path);
  if (!value || !value->is_text) return std::nullopt;
  return value->text;
}

TEST(QueryBlock, MatchesComponentsWithoutRegardToCaseAndSkipsEmptyOnes) {
  const auto block = SampleBlock();
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\CompanyName\\"), "Acme");
  EXPECT_EQ(Text(block, "\\stringfileinfo\\040904b0\\COMPANYNAME"), "Acme");
  EXPECT_EQ(Text(block, "\\\\StringFileInfo\\\\040904B0\\CompanyName\\\\"), "Acme");
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\Company"), std::nullopt);
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\CompanyNameX"), std::nullopt);
  EXPECT_EQ(Text(block, "StringFileInfo\\040704E4\\CompanyName"), std::nullopt);
}

TEST(QueryBlock, DeliversTextAsUtf8AndEmptyValuesAsEmptyText) {
  const auto block = SampleBlock();
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\FileDescription"), "Caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\Comments"), "");
}

TEST(QueryBlock, DeliversTheTranslationEntriesAndTheRoot) {
  const auto block = SampleBlock();
  const auto translation = QueryBlock(block.data(), block.size(), "\\VarFileInfo\\Translation");
  ASSERT_TRUE(translation);
  EXPECT_FALSE(translation->is_text);
  ASSERT_EQ(translation->data_length, 8u);
  const std::uint8_t expected[] = {0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xE4, 0x04};
  EXPECT_EQ(std::memcmp(block.data() + translation->data_offset, expected, 8), 0);

  const auto root = QueryBlock(block.data(), block.size(), "\\");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->data_length, 52u);
  EXPECT_EQ(block[root->data_offset], 0xBD);
}

TEST(QueryBlock, TakesStringValuesMarkedBinaryAsText) {
  auto table = StringTable(u"040904B0", {{u"ProductName", u"Binary typed"}});
  table.children[0].type = 0;
  table.children[0].value_length = 26;  // bytes, as such compilers count them
  const auto block = Serialize(VersionRoot({StringFileInfo({table})}));
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\ProductName"), "Binary typed");
}

TEST(QueryBlock, ReadsTextToItsTerminatorWhateverTheCountSays) {
  auto table = StringTable(u"040904B0", {{u"ProductName", u"Counted in bytes"}, {u"Next", u"N"}});
  table.children[0].value_length = 200;
  const auto block = Serialize(VersionRoot({StringFileInfo({table})}));
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\ProductName"), "Counted in bytes");
  EXPECT_EQ(Text(block, "StringFileInfo\\040904B0\\Next"), "N");
}

TEST(QueryBlock, StaysInsideTheBlockAndItsNodes) {
  const auto block = SampleBlock();
  // Every shorter prefix of the block: found or not, nothing is read past it
  // (the sanitizer build checks) and a text never runs past the end.
  for (std::size_t size = 0; size < block.size(); ++size) {
    const std::vector<std::uint8_t> cut(block.begin(), block.begin() + static_cast<long>(size));
    const auto value = QueryBlock(cut.data(), cut.size(), "StringFileInfo\\040904B0\\FileDescription");
    if (value) {
      EXPECT_LE(value->data_offset + value->data_length, size);
    }
  }
  // An unterminated text ends with its node.
  auto table = StringTable(u"040904B0", {{u"ProductName", u"Open"}});
  table.children[0].value = Utf16Bytes(u"Open", false);
  const auto open = Serialize(VersionRoot({StringFileInfo({table})}));
  EXPECT_EQ(Text(open, "StringFileInfo\\040904B0\\ProductName"), "Open");
}

TEST(QueryBlock, RefusesNodesTooShortToHoldAHeader) {
  auto block = SampleBlock();
  block[0] = 4;  // root length below the header size
  block[1] = 0;
  EXPECT_FALSE(QueryBlock(block.data(), block.size(), "\\"));
  EXPECT_FALSE(QueryBlock(nullptr, 0, "\\"));
}

TEST(BlockQuery, KeepsTheTextUntilTheNextQuery) {
  const auto block = SampleBlock();
  BlockQuery query;
  VersionValue value;
  ASSERT_TRUE(query.VerQueryValue(block.data(), block.size(), "StringFileInfo\\040904B0\\CompanyName", value));
  EXPECT_STREQ(value.text, "Acme");
  ASSERT_TRUE(query.VerQueryValue(block.data(), block.size(), "\\VarFileInfo\\Translation", value));
  EXPECT_EQ(value.text, nullptr);
  EXPECT_EQ(value.data, block.data() + block.size() - 8);
  EXPECT_EQ(value.length, 8u);
  EXPECT_FALSE(query.VerQueryValue(block.data(), block.size(), "\\Nothing", value));
}

}  // namespace
}  // namespace proclens::pe
