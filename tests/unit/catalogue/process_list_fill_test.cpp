#include "catalogue/process_list_fill.h"

#include <cstdint>
#include <iterator>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_catalogue_lists.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_process_facts.h"
#include "platform/narrow_text.h"

namespace proclens {
namespace {

using fakes::FakePlatform;
using fakes::RecordingImageList;
using fakes::RecordingItemList;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kSysDir = "C:\\WINDOWS\\system32\\";
const std::string kError = " The parameter is incorrect";

std::string Sep() { return narrow::kAcuteAccent; }

class FillTest : public ::testing::Test {
 protected:
  FillTest() {
    p.messages[fakes::kErrorInvalidParameter] = "The parameter is incorrect.";
    p.OfferUsualServices();
  }
  void Unresolved(std::uint32_t pid, const std::string& name) { p.snapshot->push_back({pid, name}); }
  void Resolved(std::uint32_t pid, const std::string& name, const std::string& path,
                std::uint64_t size = 100) {
    Unresolved(pid, name);
    p.ResolveWithFirstService(pid, path);
    p.AddFile(path, size);
  }
  std::vector<std::string> Fill() {
    list.items.clear();
    fill.FillProcessList();
    EXPECT_FALSE(list.insert_out_of_range);
    EXPECT_EQ(p.snapshots_open, 0) << "the snapshot must be closed";
    std::vector<std::string> captions;
    for (const ProcessItem& item : list.items) captions.push_back(item.caption);
    return captions;
  }
  const ProcessItem& Item(std::size_t i) { return list.items.at(i); }

  FakePlatform p;
  RecordingItemList list;
  RecordingImageList large;
  RecordingImageList small;
  ProcessListFill fill{{p, p, p, p}, list, large, small};
};

TEST_F(FillTest, ResolvedItemsFirstThenUnresolvedEachInSnapshotOrder) {
  Resolved(2000, "first", "C:\\a\\first.exe");
  Unresolved(2001, "second");
  Resolved(2002, "third", "C:\\a\\third.exe", 3);
  Unresolved(2003, "fourth");
  EXPECT_THAT(Fill(), ElementsAre("first", "third", "second", "fourth"));
  EXPECT_THAT(Item(0).sub_items, ElementsAre("C:\\a\\first.exe", "100 byte"));
  EXPECT_THAT(Item(1).sub_items, ElementsAre("C:\\a\\third.exe"));
  EXPECT_THAT(Item(2).sub_items, ElementsAre(kError));
  EXPECT_EQ(Item(2).image_index, kMissingFileImage);
  EXPECT_EQ(Item(3).pid, 2003u);
  for (ProcessHandle h : p.handed_out) EXPECT_EQ(p.close_count[h], 1);
}

TEST_F(FillTest, NoSnapshotOrAnEmptyOneLeavesTheListEmpty) {
  EXPECT_THAT(Fill(), IsEmpty());
  Resolved(2000, "a.exe", "C:\\a.exe");
  p.snapshot.reset();
  EXPECT_THAT(Fill(), IsEmpty());
}

TEST_F(FillTest, IdentifiersZeroToEightAreSkippedOnlyWithWindowsTraits) {
  for (std::uint32_t pid = 0; pid <= 9; ++pid) Unresolved(pid, "p" + std::to_string(pid));
  EXPECT_THAT(Fill(), ElementsAre("p9"));
  p.traits = fakes::LinuxShapedTraits();
  EXPECT_EQ(Fill().size(), 10u);
  EXPECT_EQ(Item(0).sub_items[0], " System idle");
}

TEST_F(FillTest, RetryRescuesOnlyTheFirstThreeProcessedLowIdentifiers) {
  for (const char* name : {"skip.exe", "a.exe", "c.exe", "d.exe"}) {
    p.AddFile(kSysDir + name, 2048);
    p.icons[kSysDir + name] = {};
  }
  Unresolved(4, "skip.exe");  // skipped entries do not count
  Unresolved(999, "a.exe");
  Resolved(2000, "b.exe", "C:\\b.exe");
  Unresolved(1000, "c.exe");  // third processed, identifier too high
  Unresolved(300, "d.exe");   // fourth processed
  EXPECT_THAT(Fill(), ElementsAre("a.exe", "b.exe", "c.exe", "d.exe"));
  EXPECT_THAT(Item(0).sub_items, ElementsAre(kSysDir + "a.exe", "2" + Sep() + "048 byte"));
  EXPECT_EQ(Item(0).image_index, 2);
  EXPECT_EQ(Item(2).sub_items[0], kError);
  EXPECT_EQ(Item(3).sub_items[0], kError);
}

TEST_F(FillTest, RetryCandidateAndCaptionStopAtTheZeroAndAreNotRewritten) {
  p.AddFile(kSysDir + "%x%.exe", 10);
  Unresolved(100, std::string("%x%.exe\0junk", 12));
  Resolved(2000, std::string(300, 'x'), "C:\\x.exe");
  EXPECT_THAT(Fill(), ElementsAre("%x%.exe", std::string(260, 'x')));
  EXPECT_EQ(Item(0).sub_items[0], kSysDir + "%x%.exe");
  EXPECT_THAT(p.expand_calls, IsEmpty());
}

TEST_F(FillTest, UnreadableSystemDirectoryTurnsRetryAndEmblemOff) {
  // What a bare separator or an empty prefix would find, and match.
  p.AddFile("\\a.exe", 10);
  p.AddFile("a.exe", 10);
  Resolved(2000, "smss.exe", "\\smss.exe");
  Unresolved(100, "a.exe");
  p.system_directory.reset();
  Fill();
  EXPECT_EQ(Item(0).image_index, kNoImage);
  EXPECT_EQ(Item(1).sub_items[0], kError);

  p.system_directory = "C:\\WINDOWS\\system32";
  p.AddFile(kSysDir + "a.exe", 10);
  p.traits.system_dir_retry = false;
  Fill();
  EXPECT_EQ(Item(1).sub_items[0], kError);
}

TEST(SystemProcessRule, IconlessListedNamesInTheSystemDirectoryGetTheEmblemOnNtOnly) {
  struct Case {
    const char* caption;
    const char* path;  // empty: unresolved
    bool has_icon;
    int on_nt;
  };
  const Case cases[] = {
      {"SVCHOST.EXE", "c:\\windows\\SYSTEM32\\svchost.exe", false, kSystemProcessImage},
      {"snmp.exe", "\\\\?\\C:\\WINDOWS\\system32\\snmp.exe", false, kSystemProcessImage},
      {"smss.exe", "C:\\WINDOWS\\system32\\smss.exe", true, 2},
      {"ss.exe", "C:\\WINDOWS\\system32\\ss.exe", false, kNoImage},
      {"svchost", "C:\\WINDOWS\\system32\\svchost", false, kNoImage},
      {"svchost.exe", "C:\\Tools\\svchost.exe", false, kNoImage},
      {"svchost.exe", "C:\\WINDOWS\\system32.old\\svchost.exe", false, kNoImage},
      {"csrss.exe", "", false, kMissingFileImage},
  };
  for (const Case& c : cases) {
    for (std::uint32_t platform : {kPlatformWin32Nt, kPlatformWin32Windows, 0u}) {
      FakePlatform p;
      p.traits = WindowsTraits(platform);
      p.snapshot->push_back({2000, c.caption});
      if (*c.path) {
        p.ResolveWithFirstService(2000, c.path);
        p.AddFile(c.path, 10);
      }
      if (c.has_icon) p.icons[c.path] = {};
      RecordingItemList list;
      RecordingImageList large, small;
      ProcessListFill({p, p, p, p}, list, large, small).FillProcessList();
      const bool emblem = c.on_nt == kSystemProcessImage;
      EXPECT_EQ(list.items.at(0).image_index,
                emblem && platform != kPlatformWin32Nt ? kNoImage : c.on_nt)
          << c.caption << " " << c.path << " platform " << platform;
    }
  }
}

TEST_F(FillTest, IconsGoToBothListsInStepFromIndexTwo) {
  for (const char* path : {"C:\\a.exe", "C:\\small-only.exe", "C:\\dir", "C:\\none.exe",
                           "C:\\large-only.exe"}) {
    p.AddFile(path, 10, std::string(path) == "C:\\dir");
    p.icons[path] = {};
  }
  p.icons["C:\\small-only.exe"].large = false;
  p.icons["C:\\none.exe"].count = 0;
  p.icons["C:\\large-only.exe"].small = false;
  EXPECT_EQ(fill.AddFileIcons("C:\\missing.exe"), kMissingFileImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\dir"), kMissingFileImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\none.exe"), kNoImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\large-only.exe"), kNoImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\a.exe"), 2);
  EXPECT_EQ(fill.AddFileIcons("C:\\small-only.exe"), 3);
  EXPECT_THAT(small.images, ElementsAre("system-process", "missing-file", "C:\\a.exe#small",
                                        "C:\\small-only.exe#small"));
  EXPECT_THAT(large.images, ElementsAre("system-process", "missing-file", "C:\\a.exe#large",
                                        "C:\\small-only.exe#small"));

  large.fail_additions = true;  // a failed large addition takes the small one back
  EXPECT_EQ(fill.AddFileIcons("C:\\a.exe"), kNoImage);
  EXPECT_EQ(small.images.size(), 4u);
  large.fail_additions = false;
  small.fail_additions = true;
  EXPECT_EQ(fill.AddFileIcons("C:\\a.exe"), kNoImage);
  EXPECT_EQ(large.images.size(), 4u);
  EXPECT_EQ(p.live_icons, 0) << "extracted icons must be released";
}

TEST_F(FillTest, SizeTextOnlyAboveThreeBytesFromTheWhole64BitSize) {
  const std::uint64_t sizes[] = {0, 1, 2, 3, 4, 3ull << 30, 5ull << 30};
  for (std::uint32_t i = 0; i < std::size(sizes); ++i) {
    Resolved(2000 + i, "p" + std::to_string(i), "C:\\p" + std::to_string(i), sizes[i]);
  }
  Fill();
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(Item(i).sub_items.size(), 1u) << i;
  EXPECT_EQ(Item(4).sub_items.at(1), "4 byte");
  EXPECT_EQ(Item(5).sub_items.at(1), "3221" + Sep() + "225" + Sep() + "472 byte");
  EXPECT_EQ(Item(6).sub_items.at(1), "5368" + Sep() + "709" + Sep() + "120 byte");

  p.AddFile("C:\\dir", 4096, /*is_directory=*/true);  // counts for the size, not as a file
  p.AddFile("C:\\huge", UINT64_MAX);
  EXPECT_EQ(fill.FileSizeOf("C:\\dir"), 4096);
  EXPECT_EQ(fill.FileSizeOf("C:\\missing"), 0);
  EXPECT_GT(fill.FileSizeOf("C:\\huge"), 0);
}

// Why each process runs is its row's description, asked once a fill of the
// service manager and once a row of each process; rows without facts have none.
TEST_F(FillTest, EachRowDescribesWhyItsProcessRunsAfterOneRefreshAFill) {
  fakes::FakeProcessFacts facts;
  facts.by_pid[2000].services = {{"Eventlog", "Event Log", ""}};
  facts.by_pid[2000].user = "SYSTEM";
  facts.by_pid[2001].container = ContainerFacts{"docker", "abc", "web", ""};
  ProcessListFill described{{p, p, p, p, &facts}, list, large, small};
  Resolved(2000, "svchost.exe", "C:\\w\\svchost.exe");
  Unresolved(2001, "nginx");
  Unresolved(2002, "idle");
  list.items.clear();
  described.FillProcessList();
  ASSERT_EQ(list.items.size(), 3u);
  EXPECT_EQ(Item(0).description, "The process svchost.exe runs the service Event Log (Eventlog).\nIt runs for the user SYSTEM.");
  EXPECT_EQ(Item(1).description, "The process runs in the container web (docker).");
  EXPECT_EQ(Item(2).description, "");
  EXPECT_EQ(facts.refreshes, 1);
  EXPECT_EQ(facts.facts_asked, 3);
  EXPECT_EQ(Fill().size(), 3u);
  EXPECT_EQ(Item(0).description, "") << "a fill without facts describes nothing";
}

}  // namespace
}  // namespace proclens
