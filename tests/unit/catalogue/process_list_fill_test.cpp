#include "catalogue/process_list_fill.h"

#include <cstdint>
#include <iterator>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_catalogue_lists.h"
#include "fakes/fake_platform.h"
#include "platform/narrow_text.h"

namespace proclens {
namespace {

using fakes::RecordingImageList;
using fakes::RecordingItemList;
using fakes::FakePlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kSysDir = "C:\\WINDOWS\\system32\\";

// "1'234" with the build's separator in place of the apostrophe.
std::string Sized(std::string text) {
  std::string out;
  for (char c : text) out += c == '\'' ? std::string(narrow::kAcuteAccent) : std::string(1, c);
  return out;
}

PlatformTraits LinuxLikeTraits() {
  PlatformTraits traits;
  traits.first_listed_pid = 0;
  traits.admin_test = true;
  traits.path_separator = '/';
  traits.access_denied_error = 13;
  traits.administrator_word = "root";
  return traits;
}

class FillTest : public ::testing::Test {
 protected:
  FillTest() {
    p.messages[fakes::kErrorInvalidParameter] = "The parameter is incorrect.";
    p.OfferUsualServices();
  }

  void Unresolved(std::uint32_t pid, const std::string& name) {
    p.snapshot->push_back({pid, name});
  }
  void Resolved(std::uint32_t pid, const std::string& name, const std::string& path,
                std::uint64_t size = 100) {
    Unresolved(pid, name);
    p.ResolveWithFirstService(pid, path);
    p.AddFile(path, size);
  }
  const std::vector<ProcessItem>& Fill() {
    fill.FillProcessList();
    EXPECT_FALSE(list.insert_out_of_range);
    EXPECT_EQ(p.snapshots_open, 0) << "the snapshot must be closed";
    return list.items;
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> captions;
    for (const ProcessItem& item : list.items) captions.push_back(item.caption);
    return captions;
  }

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
  Fill();
  EXPECT_THAT(Captions(), ElementsAre("first", "third", "second", "fourth"));
  EXPECT_THAT(list.items[0].sub_items, ElementsAre("C:\\a\\first.exe", "100 byte"));
  EXPECT_THAT(list.items[1].sub_items, ElementsAre("C:\\a\\third.exe"));  // 3 bytes: no size
  EXPECT_THAT(list.items[2].sub_items, ElementsAre(" The parameter is incorrect"));
  EXPECT_EQ(list.items[2].image_index, kMissingFileImage);
  EXPECT_EQ(list.items[3].pid, 2003u);
  for (ProcessHandle h : p.handed_out) EXPECT_EQ(p.close_count[h], 1);
}

TEST_F(FillTest, IdleAndSystemIdentifiersAreSkippedOnWindowsOnly) {
  for (std::uint32_t pid = 0; pid <= 9; ++pid) Unresolved(pid, "p" + std::to_string(pid));
  Fill();
  EXPECT_THAT(Captions(), ElementsAre("p9"));

  list.items.clear();
  p.traits = LinuxLikeTraits();
  Fill();
  EXPECT_EQ(list.items.size(), 10u);
  EXPECT_EQ(list.items[0].sub_items[0], " System idle");
}

TEST_F(FillTest, NoSnapshotOrAnEmptyOneLeavesTheListEmpty) {
  Fill();
  EXPECT_EQ(p.snapshots_taken, 1);
  Resolved(2000, "a.exe", "C:\\a.exe");  // scripted, but no snapshot delivers it
  p.snapshot.reset();
  EXPECT_THAT(Fill(), IsEmpty());
}

TEST_F(FillTest, RetryLooksOnlyAtTheFirstThreeProcessedLowIdentifiers) {
  for (const char* name : {"skip.exe", "a.exe", "c.exe", "d.exe"}) {
    p.AddFile(kSysDir + name, 2048);
    p.icons[kSysDir + name] = {};
  }
  Unresolved(4, "skip.exe");  // skipped entries do not count
  Unresolved(999, "a.exe");
  Resolved(2000, "b.exe", "C:\\b.exe");
  Unresolved(1000, "c.exe");  // third processed, identifier too high
  Unresolved(300, "d.exe");   // fourth processed
  Fill();
  EXPECT_THAT(Captions(), ElementsAre("a.exe", "b.exe", "c.exe", "d.exe"));
  EXPECT_THAT(list.items[0].sub_items, ElementsAre(kSysDir + "a.exe", Sized("2'048 byte")));
  EXPECT_EQ(list.items[0].image_index, 2);
  EXPECT_EQ(list.items[2].sub_items[0][0], ' ');
  EXPECT_EQ(list.items[3].sub_items[0][0], ' ');
}

TEST_F(FillTest, RetryCandidateIsTheSnapshotNameUpToItsZeroAndNotRewritten) {
  p.AddFile(kSysDir + "%x%.exe", 10);
  Unresolved(100, std::string("%x%.exe\0junk", 12));
  Fill();
  EXPECT_EQ(list.items[0].caption, "%x%.exe");
  EXPECT_EQ(list.items[0].sub_items[0], kSysDir + "%x%.exe");
  EXPECT_THAT(p.expand_calls, IsEmpty());
}

TEST_F(FillTest, RetryIsOffWithoutSystemDirectoryAndOnLinux) {
  p.AddFile("\\a.exe", 10);
  p.system_directory.reset();
  Unresolved(100, "a.exe");
  Fill();
  EXPECT_EQ(list.items[0].sub_items[0][0], ' ');

  list.items.clear();
  p.traits = LinuxLikeTraits();
  p.system_directory = "/usr/bin";
  p.AddFile("/usr/bin/a.exe", 10);
  Fill();
  EXPECT_EQ(list.items[0].sub_items[0][0], ' ');
}

TEST_F(FillTest, CaptionKeeps260Characters) {
  Resolved(2000, std::string(300, 'x'), "C:\\x.exe");
  Fill();
  EXPECT_EQ(list.items[0].caption, std::string(260, 'x'));
}

struct SystemProcessCase {
  const char* caption;
  const char* path;  // resolved unless empty
  int expected;
};

TEST(SystemProcessRule, IconlessListedNamesInTheSystemDirectoryGetTheEmblemOnNt) {
  const SystemProcessCase cases[] = {
      {"SVCHOST.EXE", "c:\\windows\\SYSTEM32\\svchost.exe", kSystemProcessImage},
      {"Lsass.exe", "C:\\WINDOWS\\system32\\lsass.exe", kSystemProcessImage},
      {"snmp.exe", "\\\\?\\C:\\WINDOWS\\system32\\snmp.exe", kSystemProcessImage},
      {"ss.exe", "C:\\WINDOWS\\system32\\ss.exe", kNoImage},
      {"svchost", "C:\\WINDOWS\\system32\\svchost", kNoImage},
      {"svchost.exe", "C:\\Tools\\svchost.exe", kNoImage},
      {"svchost.exe", "C:\\WINDOWS\\system32.old\\svchost.exe", kNoImage},
      {"csrss.exe", "", kMissingFileImage},  // an error text never gets the emblem
  };
  for (const auto& c : cases) {
    for (std::uint32_t platform : {kPlatformWin32Nt, kPlatformWin32Windows}) {
      FakePlatform p;
      p.traits = WindowsTraits(platform);
      p.snapshot->push_back({2000, c.caption});
      if (*c.path) {
        p.ResolveWithFirstService(2000, c.path);
        p.AddFile(c.path, 10);
      }
      RecordingItemList list;
      RecordingImageList large, small;
      ProcessListFill({p, p, p, p}, list, large, small).FillProcessList();
      const int expected =
          platform == kPlatformWin32Nt || c.expected != kSystemProcessImage ? c.expected : kNoImage;
      EXPECT_EQ(list.items.at(0).image_index, expected) << c.caption << " " << c.path
                                                        << " platform " << platform;
    }
  }
}

TEST_F(FillTest, SystemProcessRuleOnlyWithoutIconAndWithASystemDirectory) {
  Resolved(2000, "smss.exe", kSysDir + "smss.exe");
  p.icons[kSysDir + "smss.exe"] = {};
  Fill();
  EXPECT_EQ(list.items[0].image_index, 2);

  list.items.clear();
  p.icons.clear();
  p.system_directory.reset();
  Fill();
  EXPECT_EQ(list.items[0].image_index, kNoImage);
}

TEST_F(FillTest, IconsGoToBothListsInStepFromIndexTwo) {
  p.AddFile("C:\\a.exe", 10);
  p.AddFile("C:\\b.exe", 10);
  p.AddFile("C:\\small-only.exe", 10);
  p.icons["C:\\a.exe"] = {};
  p.icons["C:\\b.exe"] = {};
  p.icons["C:\\small-only.exe"] = {1, false, true};
  EXPECT_EQ(fill.AddFileIcons("C:\\a.exe"), 2);
  EXPECT_EQ(fill.AddFileIcons("C:\\b.exe"), 3);
  EXPECT_EQ(fill.AddFileIcons("C:\\small-only.exe"), 4);
  EXPECT_THAT(small.images, ElementsAre("system-process", "missing-file", "C:\\a.exe#small",
                                        "C:\\b.exe#small", "C:\\small-only.exe#small"));
  EXPECT_THAT(large.images, ElementsAre("system-process", "missing-file", "C:\\a.exe#large",
                                        "C:\\b.exe#large", "C:\\small-only.exe#small"));
  EXPECT_EQ(p.live_icons, 0) << "extracted icons must be released";
}

TEST_F(FillTest, FilesWithoutIconsOrThatDoNotExistAddNothing) {
  p.AddFile("C:\\dir", 0, /*is_directory=*/true);
  p.icons["C:\\dir"] = {};
  p.AddFile("C:\\none.exe", 10);
  p.icons["C:\\none.exe"] = {0, true, true};
  p.AddFile("C:\\large-only.exe", 10);
  p.icons["C:\\large-only.exe"] = {1, true, false};
  EXPECT_EQ(fill.AddFileIcons("C:\\missing.exe"), kMissingFileImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\dir"), kMissingFileImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\none.exe"), kNoImage);
  EXPECT_EQ(fill.AddFileIcons("C:\\large-only.exe"), kNoImage);
  EXPECT_EQ(small.images.size(), 2u);
  EXPECT_EQ(large.images.size(), 2u);
  EXPECT_EQ(p.live_icons, 0);
}

TEST_F(FillTest, FailedAdditionLeavesBothListsAsTheyWere) {
  p.AddFile("C:\\a.exe", 10);
  p.icons["C:\\a.exe"] = {};
  large.fail_additions = true;
  EXPECT_EQ(fill.AddFileIcons("C:\\a.exe"), kNoImage);
  EXPECT_EQ(small.images.size(), 2u);
  large.fail_additions = false;
  small.fail_additions = true;
  EXPECT_EQ(fill.AddFileIcons("C:\\a.exe"), kNoImage);
  EXPECT_EQ(large.images.size(), 2u);
  EXPECT_EQ(p.live_icons, 0);
}

TEST_F(FillTest, FileSizeCountsAnyEntryAndTheWhole64Bits) {
  p.AddFile("C:\\dir", 4096, /*is_directory=*/true);
  p.AddFile("C:\\big.iso", 5ull << 30);
  p.AddFile("C:\\huge", UINT64_MAX);
  EXPECT_EQ(fill.FileSizeOf("C:\\dir"), 4096);
  EXPECT_EQ(fill.FileSizeOf("C:\\big.iso"), 5368709120);
  EXPECT_EQ(fill.FileSizeOf("C:\\missing"), 0);
  EXPECT_GT(fill.FileSizeOf("C:\\huge"), 0);
}

TEST_F(FillTest, SizeTextOnlyAboveThreeBytes) {
  const std::uint64_t sizes[] = {0, 1, 2, 3, 4, 3ull << 30, 5ull << 30};
  for (std::uint32_t i = 0; i < std::size(sizes); ++i) {
    Resolved(2000 + i, "p" + std::to_string(i), "C:\\p" + std::to_string(i), sizes[i]);
  }
  Fill();
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(list.items[i].sub_items.size(), 1u) << i;
  EXPECT_EQ(list.items[4].sub_items.at(1), "4 byte");
  EXPECT_EQ(list.items[5].sub_items.at(1), Sized("3221'225'472 byte"));
  EXPECT_EQ(list.items[6].sub_items.at(1), Sized("5368'709'120 byte"));
}

}  // namespace
}  // namespace proclens
