// [Unit] Description= from the bytes of unit files, as systemd reads them.

#include "platform/linux/units/unit_file_text.h"

#include <gtest/gtest.h>

namespace proclens::linux_port {
namespace {

TEST(UnitFileTextTest, LastDescriptionOfTheUnitSection) {
  struct Case {
    std::string bytes;
    std::optional<std::string> description;
  };
  const Case cases[] = {
      {"[Unit]\nDescription=OpenBSD Secure Shell server\n", "OpenBSD Secure Shell server"},
      {"\xEF\xBB\xBF[Unit]\r\n  Description =  spaced out  \r\n", "spaced out"},
      {"[Unit]\nDescription=first\nDescription=second\n", "second"},
      {"[Unit]\nDescription=set\nDescription=\n", ""},
      {"[Unit]\n# Description=commented\n; Description=commented\nDescription=kept\n", "kept"},
      {"[Unit]\nDescription=a long \\\n# a comment between the lines\n  description\n", "a long    description"},
      {"[Unit]\nDescription=two \\\\\n", "two \\\\"},
      {"[Unit]\nDescription=ends \\", "ends"},
      {"[Service]\nDescription=elsewhere\n[Unit]\n", std::nullopt},
      {"Description=before any section\n", std::nullopt},
      {"[Unit]\nDescription=good\nDescription=bad \xFF\n", "good"},
      {"[Unit]\nDescriptions=no\nX-Description=no\n=no\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(LastUnitDescription(c.bytes, "x.service"), c.description);
  }
}

TEST(UnitFileTextTest, NameSpecifiersAreExpanded) {
  struct Case {
    const char* value;
    const char* unit;
    const char* text;
  };
  const Case cases[] = {
      {"Console on %I", "getty@pts-0.service", "Console on pts/0"},
      {"File System Check on %f", "systemd-fsck@dev-disk-by\\x2duuid-12.service",
       "File System Check on /dev/disk/by-uuid/12"},
      {"%n|%N|%p|%P|%i|%j|%J", "a-b@c.service", "a-b@c.service|a-b@c|a-b|a/b|c|b|b"},
      {"%f", "dev-sda1.swap", "/dev/sda1"},
      {"100%% on %H %u", "x.service", "100% on %H %u"},
      {"bad \\x%I", "x@\\xZZ.service", "bad \\x\\xZZ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ExpandNameSpecifiers(c.value, c.unit), c.text);
  }
}

TEST(UnitFileTextTest, BoundedAtACharacterBoundary) {
  const std::string long_text = std::string(kDescriptionLimit - 1, 'a') + "\xC3\xA4" + "tail";
  EXPECT_EQ(BoundedDescription(long_text), std::string(kDescriptionLimit - 1, 'a'));
  EXPECT_EQ(BoundedDescription("bad \xFF byte\x1B"), "bad \xEF\xBF\xBD byte\x1B");
  const std::string many(100000, '%');
  EXPECT_EQ(ExpandNameSpecifiers(many, "x.service").size(), kDescriptionLimit + 1);
}

}  // namespace
}  // namespace proclens::linux_port
