#include "infopage/version_info_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "unit/infopage/fake_version_platform.h"
#include "unit/infopage/version_block_builder.h"

namespace proclens {
namespace {

using ::testing::ElementsAre;
using testing::FakeVersionPlatform;
using testing::Serialize;
using testing::StringFileInfo;
using testing::StringTable;
using testing::VarFileInfo;
using testing::VersionRoot;

class VersionReaderTest : public ::testing::Test {
 protected:
  std::string Query(const std::string& key) {
    const auto& block = fake.blocks.at("app.exe");
    return QueryVersionString(block.data(), block.size(), key, {fake, fake});
  }

  FakeVersionPlatform fake;
};

TEST_F(VersionReaderTest, AsksTheFourPathsInOrderWithUpperCaseHex) {
  fake.next_lang_ids = {0x0407};
  fake.blocks["app.exe"] = Serialize(VersionRoot({VarFileInfo({{0x0c0a, 0x04e4}})}));
  EXPECT_EQ(Query("CompanyName"), "");
  EXPECT_THAT(fake.queried_paths,
              ElementsAre("StringFileInfo\\040704E4\\CompanyName\\",
                          "StringFileInfo\\040704B0\\CompanyName\\",
                          "StringFileInfo\\040904E4\\CompanyName\\", "\\VarFileInfo\\Translation",
                          "StringFileInfo\\0C0A04E4\\CompanyName\\"));
}

TEST_F(VersionReaderTest, AsksForTheUserLanguageAfreshForEachPath) {
  fake.next_lang_ids = {0x0407, 0x0415};
  fake.blocks["app.exe"] = Serialize(VersionRoot({StringFileInfo(
      {StringTable(u"041504B0", {{u"ProductName", u"Polish"}}),
       StringTable(u"040704B0", {{u"ProductName", u"German"}})})}));
  EXPECT_EQ(Query("ProductName"), "Polish");
  EXPECT_EQ(fake.language_requests, 2);
}

TEST_F(VersionReaderTest, PrefersCodePage1252ThenUnicodeThenUsEnglish) {
  fake.next_lang_ids = {0x0407};
  fake.blocks["app.exe"] = Serialize(VersionRoot({
      StringFileInfo({StringTable(u"040904E4", {{u"CompanyName", u"English"}}),
                      StringTable(u"040704B0", {{u"CompanyName", u"Unicode"}, {u"ProductName", u"P"}}),
                      StringTable(u"040704E4", {{u"CompanyName", u"Ansi"}})}),
      VarFileInfo({{0x0409, 0x04E4}})}));
  EXPECT_EQ(Query("CompanyName"), "Ansi");
  EXPECT_EQ(Query("ProductName"), "P");
  fake.next_lang_ids = {0x0411};
  EXPECT_EQ(Query("CompanyName"), "English");
}

TEST_F(VersionReaderTest, FindsTheTableOfTheFirstTranslationEntry) {
  fake.next_lang_ids = {0x0407};
  fake.blocks["app.exe"] = Serialize(VersionRoot({
      StringFileInfo({StringTable(u"040904b0", {{u"FileDescription", u"Tool"}}),
                      StringTable(u"041104B0", {{u"FileDescription", u"Japanese"}})}),
      VarFileInfo({{0x0409, 0x04B0}, {0x0411, 0x04B0}})}));
  EXPECT_EQ(Query("FileDescription"), "Tool");
  EXPECT_EQ(fake.queried_paths.back(), "StringFileInfo\\040904B0\\FileDescription\\");
}

TEST_F(VersionReaderTest, ATranslationTableRulesOutTheScan) {
  // The key is in the block, but not in the table that the first entry names.
  fake.blocks["app.exe"] = Serialize(VersionRoot({
      StringFileInfo({StringTable(u"041104B0", {{u"CompanyName", u"Elsewhere"}})}),
      VarFileInfo({{0x0409, 0x04B0}})}));
  EXPECT_EQ(Query("CompanyName"), "");
}

TEST_F(VersionReaderTest, ScansABlockWithoutATranslationTable) {
  fake.blocks["app.exe"] = Serialize(VersionRoot({StringFileInfo(
      {StringTable(u"041104B0", {{u"CompanyName", u"Scanned Co"}, {u"ProductName", u"X"}})})}));
  EXPECT_EQ(Query("CompanyName"), "Scanned Co");
  EXPECT_EQ(Query("FileDescription"), "");
}

TEST_F(VersionReaderTest, ATranslationValueTooShortForAnEntryCountsAsNoTable) {
  auto var = VarFileInfo({});
  var.children[0].value = {0x09, 0x04};
  var.children[0].value_length = 2;
  fake.blocks["app.exe"] = Serialize(VersionRoot(
      {StringFileInfo({StringTable(u"041104B0", {{u"CompanyName", u"Scanned Co"}})}), var}));
  EXPECT_EQ(Query("CompanyName"), "Scanned Co");
}

TEST_F(VersionReaderTest, ReadsTheThreeKeysEachOnItsOwn) {
  fake.blocks["app.exe"] = Serialize(VersionRoot({
      StringFileInfo({StringTable(u"040904E4", {{u"FileDescription", u"Desc"}}),
                      StringTable(u"040904B0", {{u"CompanyName", u"Company"}})}),
      VarFileInfo({{0x0409, 0x04B0}})}));
  const VersionTexts texts = ReadVersionInfo("app.exe", {fake, fake});
  EXPECT_TRUE(texts.ok);
  EXPECT_EQ(texts.description, "Desc");
  EXPECT_EQ(texts.product, "");
  EXPECT_EQ(texts.company, "Company");
}

TEST_F(VersionReaderTest, ABlockWithoutTheKeysIsStillOk) {
  fake.blocks["app.exe"] = Serialize(VersionRoot({VarFileInfo({{0x0409, 0x04B0}})}));
  const VersionTexts texts = ReadVersionInfo("app.exe", {fake, fake});
  EXPECT_TRUE(texts.ok);
  EXPECT_EQ(texts.description + texts.product + texts.company, "");
}

TEST_F(VersionReaderTest, FailuresGiveNotOkAndEmptyTexts) {
  fake.blocks["app.exe"] = Serialize(VersionRoot(
      {StringFileInfo({StringTable(u"040904E4", {{u"FileDescription", u"Desc"}})})}));
  EXPECT_FALSE(ReadVersionInfo("missing.exe", {fake, fake}).ok);

  fake.fill_fails = true;
  EXPECT_FALSE(ReadVersionInfo("app.exe", {fake, fake}).ok);

  fake.fill_fails = false;
  // The description is found by the third query; the fourth raises an error.
  fake.throw_at_query = 4;
  const VersionTexts texts = ReadVersionInfo("app.exe", {fake, fake});
  EXPECT_FALSE(texts.ok);
  EXPECT_EQ(texts.description, "");
}

TEST(StringPath, WritesFourUpperCaseDigitsEach) {
  EXPECT_EQ(StringPath(0x409, 0x4E4, "Key"), "StringFileInfo\\040904E4\\Key\\");
  EXPECT_EQ(StringPath(0xFFFF, 0xABC, "Key"), "StringFileInfo\\FFFF0ABC\\Key\\");
}

}  // namespace
}  // namespace proclens
