// The whole list fill over the real Linux operations, on the live system.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "catalogue/process_list_fill.h"
#include "linux/support/live_process.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_resource_ops.h"

namespace proclens::linux_port {
namespace {

using linux_test::Child;
using linux_test::CopySleep;
using linux_test::SleepArgs;
using linux_test::TempDir;

class RecordedItems : public ProcessItemList {
 public:
  void InsertItem(std::size_t position, ProcessItem item) override {
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  }
  void AppendItem(ProcessItem item) override { items.push_back(std::move(item)); }
  std::vector<ProcessItem> items;
};

class CountedImages : public ImageList {
 public:
  int AddIcon(const Icon&) override { return next++; }
  void RemoveLastImage() override { --next; }
  void KeepFixedImagesOnly() override { next = kFixedImageCount; }
  int next = 2;
};

// The live snapshot with extra entries after it, as if those processes had
// been seen and had ended before their paths were asked for.
class SnapshotWithExtras : public SnapshotOps {
 public:
  SnapshotWithExtras(SnapshotOps& live, std::vector<SnapshotEntry> extras)
      : live_(live), extras_(std::move(extras)) {}
  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override {
    class Combined : public ProcessSnapshot {
     public:
      Combined(std::unique_ptr<ProcessSnapshot> live, std::vector<SnapshotEntry> extras)
          : live_(std::move(live)), extras_(std::move(extras)) {}
      bool Next(SnapshotEntry& entry) override {
        if (live_->Next(entry)) return true;
        if (next_ >= extras_.size()) return false;
        entry = extras_[next_++];
        return true;
      }

     private:
      std::unique_ptr<ProcessSnapshot> live_;
      std::vector<SnapshotEntry> extras_;
      std::size_t next_ = 0;
    };
    return std::make_unique<Combined>(live_.CreateSnapshot(), extras_);
  }

 private:
  SnapshotOps& live_;
  std::vector<SnapshotEntry> extras_;
};

std::vector<ProcessItem> Fill(CataloguePlatform platform) {
  RecordedItems items;
  CountedImages large;
  CountedImages small;
  ProcessListFill fill(platform, items, large, small);
  fill.FillProcessList();
  return items.items;
}

std::vector<ProcessItem> FillLive() {
  LinuxResourceOps templates;
  LinuxServices platform(templates);
  return Fill(platform.Catalogue());
}

const ProcessItem* ItemOf(const std::vector<ProcessItem>& items, pid_t pid) {
  for (const auto& item : items) {
    if (item.pid == static_cast<std::uint32_t>(pid)) return &item;
  }
  return nullptr;
}

std::size_t PositionOf(const std::vector<ProcessItem>& items, pid_t pid) {
  return static_cast<std::size_t>(ItemOf(items, pid) - items.data());
}

TEST(CatalogueFillTest, ChildShowsItsNamePathAndSizeText) {
  TempDir dir;
  const std::string name = "proclens-catalogue-sleeper";
  const auto program = CopySleep(dir.path(), name, 1234567);
  Child child(program.string(), SleepArgs(program.string()));

  const auto items = FillLive();
  const ProcessItem* item = ItemOf(items, child.pid());
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->caption, name);
  ASSERT_EQ(item->sub_items.size(), 2u);
  EXPECT_EQ(item->sub_items[0], program.string());
  EXPECT_EQ(item->sub_items[1], "1\xC2\xB4" "234\xC2\xB4" "567 byte");
  EXPECT_EQ(item->image_index, kNoImage);  // no desktop entry runs it
}

TEST(CatalogueFillTest, ResolvedItemsComeFirstThenErrorItemsInSnapshotOrder) {
  TempDir dir;
  const auto program = CopySleep(dir.path(), "proclens-order", 50000);
  Child zombie(program.string(), SleepArgs("zombie"));
  Child running(program.string(), SleepArgs("running"));
  zombie.KillWithoutReaping();

  const auto items = FillLive();
  ASSERT_NE(ItemOf(items, zombie.pid()), nullptr);
  ASSERT_NE(ItemOf(items, running.pid()), nullptr);
  const auto first_error = std::find_if(items.begin(), items.end(), [](const ProcessItem& item) {
    return IsErrorText(item.sub_items.at(0));
  });
  EXPECT_TRUE(std::all_of(first_error, items.end(), [](const ProcessItem& item) {
    return IsErrorText(item.sub_items.at(0));
  }));
  EXPECT_LT(PositionOf(items, running.pid()), PositionOf(items, zombie.pid()));
  const ProcessItem& dead = *ItemOf(items, zombie.pid());
  EXPECT_EQ(dead.image_index, kMissingFileImage);
  EXPECT_EQ(dead.sub_items.size(), 1u);
  // Within each group the snapshot order (ascending pids) stays.
  for (std::size_t i = 1; i < items.size(); ++i) {
    if (IsErrorText(items[i - 1].sub_items[0]) == IsErrorText(items[i].sub_items[0])) {
      EXPECT_LT(items[i - 1].pid, items[i].pid);
    }
  }
}

TEST(CatalogueFillTest, ProcessThatEndedBeforeItsPathWasAskedForGivesAnErrorItem) {
  TempDir dir;
  const auto program = CopySleep(dir.path(), "proclens-ended", 50000);
  Child child(program.string(), SleepArgs("ended"));
  const pid_t pid = child.pid();
  child.KillAndReap();

  LinuxResourceOps templates;
  LinuxServices platform(templates);
  SnapshotWithExtras snapshots(platform.snapshots,
                               {SnapshotEntry{static_cast<std::uint32_t>(pid), "proclens-ended"}});
  const auto items = Fill({snapshots, platform.processes, platform.files, platform.system});
  ASSERT_FALSE(items.empty());
  const ProcessItem& last = items.back();
  EXPECT_EQ(last.pid, static_cast<std::uint32_t>(pid));
  EXPECT_EQ(last.caption, "proclens-ended");
  ASSERT_EQ(last.sub_items.size(), 1u);
  EXPECT_EQ(last.sub_items[0].rfind(" No such file or directory", 0), 0u) << last.sub_items[0];
  EXPECT_EQ(last.image_index, kMissingFileImage);
}

// What an unprivileged viewer gets for a process of root's.
std::string FillAsNobody(const std::string& locale, pid_t root_child) {
  return linux_test::RunAsNobody(locale, [root_child] {
    const auto items = FillLive();
    const ProcessItem* item = ItemOf(items, root_child);
    if (item == nullptr) return std::string("missing");
    std::ostringstream out;
    out << item->sub_items.at(0) << "|" << item->sub_items.size() << "|" << item->image_index;
    return out.str();
  });
}

TEST(CatalogueFillTest, UnreadableProcessGivesErrorTextWithTheRootHint) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to start a process nobody may not read";
  TempDir dir;
  const auto program = CopySleep(dir.path(), "proclens-private", 50000);
  Child child(program.string(), SleepArgs("private"));

  EXPECT_EQ(FillAsNobody("C", child.pid()), " Permission denied     Run program as root!|1|1");
  EXPECT_EQ(FillAsNobody("de_DE.UTF-8", child.pid()),
            " Permission denied     Starte das Program als root!|1|1");
  // The viewer who may read everything gets the path and no hint.
  const auto items = FillLive();
  ASSERT_NE(ItemOf(items, child.pid()), nullptr);
  EXPECT_EQ(ItemOf(items, child.pid())->sub_items.at(0), program.string());
}

}  // namespace
}  // namespace proclens::linux_port
