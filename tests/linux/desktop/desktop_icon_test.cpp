// Icons from desktop entries, read from a data directory of the test's own.
//
// GIO reads XDG_DATA_DIRS once per process, at its first use, so the test
// directory joins the search path before main() runs.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>

#include "catalogue/process_list_fill.h"
#include "linux/support/live_process.h"
#include "platform/linux/desktop/applications_folders.h"
#include "platform/linux/desktop/desktop_icon.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/linux_resource_ops.h"

namespace proclens::linux_port {
namespace {

using linux_test::Child;
using linux_test::CopySleep;
using linux_test::SleepArgs;
using linux_test::TempDir;

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = ::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

// Two programs with desktop entries: one named in Exec by its bare name (found
// along PATH), one through a symbolic link; and one program without any entry.
struct DesktopFixture {
  TempDir dir;
  std::filesystem::path by_name;
  std::filesystem::path by_link;
  std::filesystem::path without_entry;
  std::filesystem::path icon_file;

  DesktopFixture() {
    const auto bin = dir.path() / "bin";
    const auto applications = dir.path() / "share" / "applications";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(applications / "vendor");
    by_name = CopySleep(bin, "proclens-icon-sleeper", 50000);
    by_link = CopySleep(bin, "proclens-linked-sleeper", 50000);
    without_entry = CopySleep(bin, "proclens-plain-sleeper", 50000);
    std::filesystem::create_symlink(by_link, bin / "proclens-icon-link");
    icon_file = dir.path() / "linked.png";
    std::ofstream(icon_file) << "not really a picture";

    WriteEntry(applications / "proclens-by-name.desktop", "proclens-icon-sleeper %U",
               "proclens-test-icon");
    WriteEntry(applications / "proclens-by-link.desktop",
               (bin / "proclens-icon-link").string() + " --flag", icon_file.string());
    WriteEntry(applications / "proclens-through-env.desktop", "env PROCLENS=1 proclens-plain-sleeper",
               "proclens-env-icon");
    ::setenv("PATH", (bin.string() + ":" + EnvOr("PATH", "/usr/bin:/bin")).c_str(), 1);
    const std::string data_dirs = (dir.path() / "share").string() + ":" +
                                  EnvOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    ::setenv("XDG_DATA_DIRS", data_dirs.c_str(), 1);
  }

  static void WriteEntry(const std::filesystem::path& file, const std::string& exec,
                         const std::string& icon) {
    std::ofstream(file) << "[Desktop Entry]\nType=Application\nName=ProcLens test\nExec=" << exec
                        << "\nIcon=" << icon << "\n";
  }
};

std::unique_ptr<DesktopFixture> MakeFixture() {
  try {
    return std::make_unique<DesktopFixture>();
  } catch (const std::exception&) {
    return nullptr;  // the tests below then fail with a message
  }
}

const std::unique_ptr<DesktopFixture> fixture = MakeFixture();

std::optional<std::string> IconTextOf(LinuxFileOps& files, const std::string& path) {
  const ExtractedIcons icons = files.ExtractIcons(path);
  if (icons.count == 0) {
    EXPECT_FALSE(icons.large);
    EXPECT_FALSE(icons.small);
    return std::nullopt;
  }
  EXPECT_EQ(icons.count, 1u);
  const auto* large = dynamic_cast<const DesktopIcon*>(icons.large.get());
  const auto* small = dynamic_cast<const DesktopIcon*>(icons.small.get());
  if (large == nullptr || small == nullptr) {
    ADD_FAILURE() << "both sizes must be desktop icons";
    return std::nullopt;
  }
  EXPECT_EQ(large->serialized(), small->serialized());
  return small->serialized();
}

TEST(DesktopIconTest, ProgramNamedAlongPathGetsItsEntrysIcon) {
  ASSERT_TRUE(fixture);
  LinuxFileOps files;
  EXPECT_EQ(IconTextOf(files, fixture->by_name.string()), "proclens-test-icon");
}

TEST(DesktopIconTest, ProgramReachedThroughALinkGetsItsEntrysIconFile) {
  ASSERT_TRUE(fixture);
  LinuxFileOps files;
  EXPECT_EQ(IconTextOf(files, fixture->by_link.string()), fixture->icon_file.string());
  // The link itself names the same file.
  EXPECT_EQ(IconTextOf(files, (fixture->dir.path() / "bin" / "proclens-icon-link").string()),
            fixture->icon_file.string());
}

TEST(DesktopIconTest, ProgramWithoutEntryOrMissingFileHasNoIcon) {
  ASSERT_TRUE(fixture);
  LinuxFileOps files;
  EXPECT_EQ(IconTextOf(files, fixture->without_entry.string()), std::nullopt);
  EXPECT_EQ(IconTextOf(files, (fixture->dir.path() / "nothing-here").string()), std::nullopt);
  EXPECT_EQ(IconTextOf(files, " Permission denied"), std::nullopt);
}

TEST(DesktopIconTest, LauncherNamedInExecDoesNotTakeTheApplicationsIcon) {
  ASSERT_TRUE(fixture);
  LinuxFileOps files;
  const auto env = linux_port::RealPathOf("/usr/bin/env");
  ASSERT_TRUE(env);
  EXPECT_EQ(IconTextOf(files, *env), std::nullopt);
}

// An application installed while the window runs: its entry is read again
// once the folder that holds it (an applications folder, or one below it)
// has a new time, and not while the folders keep theirs.
TEST(DesktopIconTest, EntriesAreReadAgainWhenTheirFolderChanged) {
  ASSERT_TRUE(fixture);
  using namespace std::chrono_literals;
  const auto applications = fixture->dir.path() / "share" / "applications";
  for (const auto& folder : {applications, applications / "vendor"}) {
    const std::string name = "proclens-late-" + folder.filename().string();
    const std::string program = CopySleep(fixture->dir.path() / "bin", name, 50000).string();
    LinuxFileOps files;
    EXPECT_EQ(IconTextOf(files, program), std::nullopt);
    const auto folder_time = std::filesystem::last_write_time(folder);
    DesktopFixture::WriteEntry(folder / (name + ".desktop"), program, name + "-icon");
    std::filesystem::last_write_time(folder, folder_time);
    files.RereadIconsIfFoldersChanged();
    EXPECT_EQ(IconTextOf(files, program), std::nullopt) << "read again without a change in " << folder;
    std::filesystem::last_write_time(folder, folder_time + 1s);
    files.RereadIconsIfFoldersChanged();
    EXPECT_EQ(IconTextOf(files, program), name + "-icon") << folder;
  }
}

TEST(ApplicationsFoldersStampTest, AFolderThatAppearsOrGoesIsAChange) {
  TempDir dir;
  const std::string folder = (dir.path() / "applications").string();
  auto stamp = ApplicationsFoldersStamp::Take({folder});
  EXPECT_FALSE(stamp.Changed());
  std::filesystem::create_directory(folder);
  EXPECT_TRUE(stamp.Changed());
  stamp = ApplicationsFoldersStamp::Take({folder});
  EXPECT_FALSE(stamp.Changed());
  std::filesystem::remove(folder);
  EXPECT_TRUE(stamp.Changed());
}

TEST(DesktopIconTest, FillGivesARunningProgramWithAnEntryItsOwnImage) {
  ASSERT_TRUE(fixture);
  Child with_icon(fixture->by_name.string(), SleepArgs("proclens-icon-sleeper"));
  Child without_icon(fixture->without_entry.string(), SleepArgs("proclens-plain-sleeper"));

  struct Items : ProcessItemList {
    void InsertItem(std::size_t position, ProcessItem item) override {
      items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
    }
    void AppendItem(ProcessItem item) override { items.push_back(std::move(item)); }
    std::vector<ProcessItem> items;
  } list;
  struct Images : ImageList {
    int AddIcon(const Icon& icon) override {
      added.push_back(dynamic_cast<const DesktopIcon&>(icon).serialized());
      return static_cast<int>(added.size()) + 1;
    }
    void RemoveLastImage() override { added.pop_back(); }
    void KeepFixedImagesOnly() override { added.clear(); }
    std::vector<std::string> added;
  } large, small;

  LinuxResourceOps templates;
  LinuxServices platform(templates);
  ProcessListFill(platform.Catalogue(), list, large, small).FillProcessList();
  std::map<std::uint32_t, int> image_of;
  for (const auto& item : list.items) image_of[item.pid] = item.image_index;

  const int image = image_of.at(static_cast<std::uint32_t>(with_icon.pid()));
  ASSERT_GE(image, 2);
  EXPECT_EQ(large.added.at(static_cast<std::size_t>(image - 2)), "proclens-test-icon");
  EXPECT_EQ(small.added.at(static_cast<std::size_t>(image - 2)), "proclens-test-icon");
  EXPECT_EQ(image_of.at(static_cast<std::uint32_t>(without_icon.pid())), kNoImage);
}

}  // namespace
}  // namespace proclens::linux_port
