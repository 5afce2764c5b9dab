// The metainfo file the package installs, read the way the program reads the
// metainfo of any packaged program: the installed ProcLens names itself.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/linux/desktop/appstream_metainfo.h"

namespace proclens::linux_port {
namespace {

std::string OwnMetainfo() {
  std::ifstream in(PROCLENS_METAINFO_FILE, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(OwnMetainfo, NamesBothProgramsInBothLanguages) {
  const std::string xml = OwnMetainfo();
  ASSERT_FALSE(xml.empty()) << PROCLENS_METAINFO_FILE;
  const std::optional<MetainfoTexts> english = ParseMetainfo(xml, false);
  const std::optional<MetainfoTexts> german = ParseMetainfo(xml, true);
  ASSERT_TRUE(english && german);
  EXPECT_EQ(english->name, "ProcLens");
  EXPECT_EQ(english->developer, "The ProcLens developers");
  EXPECT_THAT(english->binaries, ::testing::UnorderedElementsAre("proclens", "proclens-cli"));
  EXPECT_EQ(english->summary, "See which programs are running and learn about each one");
  EXPECT_EQ(german->summary, "Sehen, welche Programme laufen, und mehr \xC3\xBC" "ber jedes erfahren");
}

}  // namespace
}  // namespace proclens::linux_port
