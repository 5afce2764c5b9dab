#include "platform/resource_index.h"

#include <gtest/gtest.h>

namespace proclens {
namespace {

ResourceIndex PageResources() {
  ResourceIndex index;
  index.Add("/proclens/res/GIF/awards.gif");
  index.Add("/proclens/res/JPG/bgverlauf.jpg");
  index.Add("/proclens/res/RCDATA/proc_en_html.html");
  index.Add("/proclens/res/CSS/file_cn");
  return index;
}

TEST(ResourceAddress, TakesTypeAndNameFromTheLastTwoSegments) {
  auto key = ParseResourceAddress("res:///usr/local/bin/proclens/GIF/AWARDS");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->type, "GIF");
  EXPECT_EQ(key->name, "AWARDS");

  // A Windows program path with drive letter and backslashes is just "anything".
  key = ParseResourceAddress("RES://C:\\Program Files\\proclens.exe/JPG/BGmenu");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->type, "JPG");
  EXPECT_EQ(key->name, "BGmenu");
}

TEST(ResourceAddress, DropsQueryAndFragmentAndDecodesEscapes) {
  auto key = ParseResourceAddress("res:///opt/pro%20lens/GIF/ho%6De?x=1#top");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->type, "GIF");
  EXPECT_EQ(key->name, "home");
  // A broken escape is kept as it stands.
  key = ParseResourceAddress("res:///p/GIF/a%2");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->name, "a%2");
}

TEST(ResourceAddress, AnEncodedProgramFolderDoesNotCutTheAddress) {
  const auto key = ParseResourceAddress("res:///opt/c%23/100%25/why%3F/proclens/GIF/AWARDS");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->type, "GIF");
  EXPECT_EQ(key->name, "AWARDS");
}

TEST(ResourceAddress, RefusesOtherSchemesAndShortPaths) {
  EXPECT_FALSE(ParseResourceAddress("file:///usr/bin/proclens/GIF/AWARDS"));
  EXPECT_FALSE(ParseResourceAddress("res:///AWARDS"));
  EXPECT_FALSE(ParseResourceAddress("res://"));
  EXPECT_FALSE(ParseResourceAddress("res:"));
  EXPECT_FALSE(ParseResourceAddress(""));
}

TEST(ResourceIndex, FindsByTypeAndNameIgnoringCaseAndExtension) {
  ResourceIndex index = PageResources();
  const EmbeddedResource* awards = index.Find("gif", "Awards");
  ASSERT_NE(awards, nullptr);
  EXPECT_EQ(awards->stored_path, "/proclens/res/GIF/awards.gif");
  EXPECT_EQ(awards->mime_type, "image/gif");

  const EmbeddedResource* banner = index.FindAddress("res:///usr/bin/proclens/jpg/BGVERLAUF");
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->mime_type, "image/jpeg");

  const EmbeddedResource* style = index.Find("CSS", "FILE_CN");
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->mime_type, "application/octet-stream");
}

TEST(ResourceIndex, MissesWrongTypeExtensionInRequestAndUnknownNames) {
  ResourceIndex index = PageResources();
  EXPECT_EQ(index.Find("JPG", "AWARDS"), nullptr);
  EXPECT_EQ(index.FindAddress("res:///usr/bin/proclens/GIF/awards.gif"), nullptr);
  EXPECT_EQ(index.FindAddress("res:///usr/bin/proclens/GIF/NEWS"), nullptr);
  EXPECT_EQ(index.FindAddress("http://example/GIF/AWARDS"), nullptr);
}

TEST(ResourceIndex, FirstOfANameWinsAndBadPathsAreRefused) {
  ResourceIndex index;
  EXPECT_TRUE(index.Add("/r/GIF/home.gif"));
  EXPECT_FALSE(index.Add("/r/gif/HOME.png"));
  EXPECT_FALSE(index.Add("home.gif"));
  EXPECT_FALSE(index.Add("/r/GIF/.hidden"));
  EXPECT_EQ(index.size(), 1u);
  EXPECT_EQ(index.Find("GIF", "HOME")->mime_type, "image/gif");
}

TEST(ResourceIndex, MimeTypesOfThePageFiles) {
  EXPECT_EQ(MimeTypeForExtension("Html"), "text/html");
  EXPECT_EQ(MimeTypeForExtension("png"), "image/png");
  EXPECT_EQ(MimeTypeForExtension(""), "application/octet-stream");
}

}  // namespace
}  // namespace proclens
