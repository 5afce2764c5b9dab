#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <vector>

#include "linux/support/live_process.h"
#include "platform/linux/proc/proc_entry.h"
#include "platform/linux/linux_snapshot_ops.h"
#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

using linux_test::TempDir;

constexpr char kKthreaddStat[] = "2 (kthreadd) S 0 0 0 0 -1 2129984 0 0";
constexpr char kKernelWorkerStat[] = "3 (rcu_gp) I 2 0 0 0 -1 69238880 0 0";

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::map<std::uint32_t, std::string> SnapshotOf(const TempDir& proc) {
  const std::string root = proc.path().string();
  LinuxSnapshotOps ops(root.c_str());
  std::map<std::uint32_t, std::string> names;
  auto snapshot = ops.CreateSnapshot();
  SnapshotEntry entry;
  while (snapshot && snapshot->Next(entry)) names[entry.pid] = entry.exe_file;
  return names;
}

std::optional<std::set<std::uint32_t>> CandidatesOf(const TempDir& proc) {
  UniqueFd fd(::open(proc.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return KernelThreadCandidates(fd.get());
}

TEST(KernelThreadCandidatesTest, AreKthreaddAndItsChildren) {
  TempDir proc;
  WriteFile(proc.path() / "2" / "stat", kKthreaddStat);
  WriteFile(proc.path() / "2" / "task" / "2" / "children", "3 17 4096 ");
  EXPECT_EQ(CandidatesOf(proc), (std::set<std::uint32_t>{2, 3, 17, 4096}));
}

TEST(KernelThreadCandidatesTest, NoneWhenPidTwoIsAnOrdinaryProgram) {
  TempDir proc;
  WriteFile(proc.path() / "2" / "stat", "2 (sh) S 1 2 2 0 -1 4194560 0 0");
  EXPECT_EQ(CandidatesOf(proc), std::set<std::uint32_t>());
}

TEST(KernelThreadCandidatesTest, UnknownWithoutKthreaddOrItsChildList) {
  TempDir no_pid_two;
  EXPECT_EQ(CandidatesOf(no_pid_two), std::nullopt);
  TempDir no_children_file;
  WriteFile(no_children_file.path() / "2" / "stat", kKthreaddStat);
  EXPECT_EQ(CandidatesOf(no_children_file), std::nullopt);
}

// With the children list the snapshot reads comm for everything else; a
// program that kthreadd started (a user-mode helper) is still told by its flags.
TEST(KernelThreadCandidatesTest, SnapshotReadsCommOutsideTheCandidates) {
  TempDir proc;
  WriteFile(proc.path() / "2" / "stat", kKthreaddStat);
  WriteFile(proc.path() / "2" / "task" / "2" / "children", "3 40");
  WriteFile(proc.path() / "3" / "stat", kKernelWorkerStat);
  WriteFile(proc.path() / "40" / "stat", "40 (modprobe) R 2 0 0 0 -1 4194560 0 0");
  WriteFile(proc.path() / "700" / "comm", "a) b\n");  // no stat: comm alone is read
  // Outside the candidates only comm is read: without it the process has ended.
  WriteFile(proc.path() / "800" / "stat", "800 (ended) S 1 800 800 0 -1 4194560 0 0");
  WriteFile(proc.path() / "900" / "comm", "");  // ended while it was read

  EXPECT_EQ(SnapshotOf(proc),
            (std::map<std::uint32_t, std::string>{{40, "modprobe"}, {700, "a) b"}}));
}

TEST(KernelThreadCandidatesTest, CutCommIsCompletedFromTheCommandLine) {
  TempDir proc;
  WriteFile(proc.path() / "2" / "stat", kKthreaddStat);
  WriteFile(proc.path() / "2" / "task" / "2" / "children", "");
  WriteFile(proc.path() / "50" / "comm", "proclens-long-n\n");
  WriteFile(proc.path() / "50" / "cmdline", std::string("/opt/proclens-long-name\0-x\0", 27));
  EXPECT_EQ(SnapshotOf(proc), (std::map<std::uint32_t, std::string>{{50, "proclens-long-name"}}));
}

bool IsKernelThread(const std::filesystem::path& process_dir) {
  std::ifstream stat(process_dir / "stat");
  std::string text;
  if (!std::getline(stat, text)) return false;
  const auto fields = ParseStatLine(text);
  return fields && (fields->flags & kKernelThreadFlag) != 0;
}

TEST(KernelThreadCandidatesTest, LiveCandidatesHoldEveryKernelThread) {
  std::vector<std::filesystem::path> kernel_threads;
  for (const auto& dir : std::filesystem::directory_iterator("/proc")) {
    if (IsKernelThread(dir.path())) kernel_threads.push_back(dir.path());
  }
  UniqueFd proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const auto candidates = KernelThreadCandidates(proc.get());
  if (!candidates || candidates->empty()) GTEST_SKIP() << "kernel threads cannot be listed here";
  for (const auto& dir : kernel_threads) {
    const auto pid = static_cast<std::uint32_t>(std::stoul(dir.filename()));
    // Workers come and go: one that ended since it was seen proves nothing.
    if (candidates->count(pid) == 0 && IsKernelThread(dir)) ADD_FAILURE() << dir;
  }
}

}  // namespace
}  // namespace proclens::linux_port
