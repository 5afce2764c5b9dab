// Key files (desktop entries, a sandbox's .flatpak-info) read from their bytes.

#include "platform/linux/desktop/key_file.h"

#include <gtest/gtest.h>

namespace proclens::linux_port {
namespace {

TEST(KeyFileText, ValuesByGroupAndKeyTheGermanWhereAskedAndTheGroupsInOrder) {
  const auto keys = KeyFile::Parse(
      "# comment\n[Desktop Entry]\nName=Viewer\nName[de]=Betrachter\nComment=Line\\none\nTerminal=true\n"
      "Hidden=maybe\n[remote \"flathub\"]\nurl=https://example.org/\n");
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->Get("Desktop Entry", "Name"), "Viewer");
  EXPECT_EQ(keys->GetLocalized("Desktop Entry", "Name", true), "Betrachter");
  EXPECT_EQ(keys->GetLocalized("Desktop Entry", "Name", false), "Viewer");
  EXPECT_EQ(keys->GetLocalized("Desktop Entry", "Comment", true), "Line\none");  // no German: the plain one
  EXPECT_TRUE(keys->GetBoolean("Desktop Entry", "Terminal"));
  EXPECT_FALSE(keys->GetBoolean("Desktop Entry", "Hidden"));
  EXPECT_FALSE(keys->GetBoolean("Desktop Entry", "Missing"));
  EXPECT_EQ(keys->Get("Nowhere", "Name"), "");
  EXPECT_EQ(keys->Groups(), (std::vector<std::string>{"Desktop Entry", "remote \"flathub\""}));
}

TEST(KeyFileText, BytesThatAreNoKeyFileGiveNoneAndNoTextGivesNoValue) {
  for (const char* bytes : {"no group\nName=x\n", "[Broken\n", "[A]\nkey\n"}) {
    EXPECT_FALSE(KeyFile::Parse(bytes)) << bytes;
  }
  // A value that is no UTF-8 is no value.
  const auto invalid = KeyFile::Parse("[A]\nName=\xFF\n");
  ASSERT_TRUE(invalid);
  EXPECT_EQ(invalid->Get("A", "Name"), "");
}

}  // namespace
}  // namespace proclens::linux_port
