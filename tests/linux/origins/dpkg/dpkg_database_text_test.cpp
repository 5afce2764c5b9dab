// dpkg's database files read from their bytes: the status file's records, the
// diversions, and the lines of a package's list.

#include <gtest/gtest.h>

#include "platform/linux/origins/dpkg/dpkg_file_index.h"
#include "platform/linux/origins/dpkg/dpkg_status.h"

namespace proclens::linux_port {
namespace {

TEST(DpkgStatusText, RecordsKeepWhatTheyHoldWhateverTheTextDoes) {
  const DpkgStatus status = DpkgStatus::Parse(
      "Package: bash\r\nmaintainer: Alice <a@example.org>\nDescription:   GNU shell  \n more text\n\n"
      "Package: libfoo1\nArchitecture: amd64\nDescription: foo\n\n"
      "Package: libfoo1\nArchitecture: i386\nMaintainer: <only@address>\nDescription: foo (i386)\n\n"
      "not a field\nDescription: no package\n\n"
      "Package: cutoff\nMaintainer: Cut Person");
  struct Case {
    const char* asked;
    const char* summary;     // nullptr: no record
    const char* maintainer;
  };
  const Case cases[] = {
      {"bash", "GNU shell", "Alice <a@example.org>"},  // field names in any case, a line end with \r
      {"libfoo1", "foo", ""},                           // the first of that name
      {"libfoo1:i386", "foo (i386)", "<only@address>"},
      {"libfoo1:arm64", "foo", ""},  // an architecture it does not show: the first of the name
      {"cutoff", "", "Cut Person"},                     // cut off at the end of the text
      {"", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    const PackageRecord* record = status.Find(c.asked);
    ASSERT_EQ(record != nullptr, c.summary != nullptr);
    if (record == nullptr) continue;
    EXPECT_EQ(record->summary, c.summary);
    EXPECT_EQ(record->maintainer, c.maintainer);
  }
  EXPECT_EQ(status.size(), 4u);
}

TEST(DpkgDiversionsText, ThreeLinesEachInMergedUsrForm) {
  const std::vector<DpkgDiversion> diversions =
      ParseDiversions("/bin/tool\n/usr/bin/tool.real\ndiverter\n\n/x\n:\n/usr/bin/local\n/usr/bin/local.orig\n:\n/cut\n");
  ASSERT_EQ(diversions.size(), 2u);
  EXPECT_EQ(diversions[0].original, "/usr/bin/tool");
  EXPECT_EQ(diversions[0].diverted, "/usr/bin/tool.real");
  EXPECT_EQ(diversions[0].by, "diverter");
  EXPECT_EQ(diversions[1].by, ":");  // the empty-path three are left out, the cut last one too
}

TEST(DpkgListText, APathIsListedOnlyAsAWholeLineInEitherMergedForm) {
  const std::string list = "/.\n/bin\n/bin/bash\n/usr/bin/sudo\r\n/usr/share/doc/tool-extra\n/usr/bin/last";
  struct Case {
    const char* path;
    std::optional<std::string> listed;
  };
  const Case cases[] = {
      {"/usr/bin/bash", "/bin/bash"},  // listed below the linked folder
      {"/usr/bin/last", "/usr/bin/last"},  // the last line, without its end
      {"/usr/bin/sudo", std::nullopt},  // "sudo\r" is another name
      {"/usr/share/doc/tool", std::nullopt},  // only the start of a line
      {"/usr/bin/bas", std::nullopt},
      {"bin/bash", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ListedForm(list, c.path), c.listed) << c.path;
}

}  // namespace
}  // namespace proclens::linux_port
