#include "platform/linux/linux_snapshot_ops.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <map>
#include <thread>

#include "linux/support/live_process.h"
#include "platform/linux/proc/proc_entry.h"

namespace proclens::linux_port {
namespace {

using linux_test::Child;
using linux_test::CopySleep;
using linux_test::SleepArgs;
using linux_test::TempDir;

std::map<std::uint32_t, std::string> TakeSnapshot(LinuxSnapshotOps& ops) {
  std::map<std::uint32_t, std::string> names;
  auto snapshot = ops.CreateSnapshot();
  if (!snapshot) return names;
  SnapshotEntry entry;
  while (snapshot->Next(entry)) names[entry.pid] = entry.exe_file;
  return names;
}

std::map<std::uint32_t, std::string> TakeLiveSnapshot() {
  LinuxSnapshotOps ops;
  return TakeSnapshot(ops);
}

TEST(ParseStatLineTest, NameRunsToTheLastParenthesisAndFlagsAreTheNinthField) {
  const auto fields = ParseStatLine("42 (a) b (c)) S 1 42 42 0 -1 4194560 120 0 0");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->comm, "a) b (c)");
  EXPECT_EQ(fields->flags, 4194560u);
}

TEST(ParseStatLineTest, TruncatedOrMalformedTextIsRejected) {
  EXPECT_FALSE(ParseStatLine(""));
  EXPECT_FALSE(ParseStatLine("42 (name S 1 2 3 4 5 6"));
  EXPECT_FALSE(ParseStatLine("42 (name) S 1 2 3"));
  EXPECT_FALSE(ParseStatLine("42 (name) S 1 2 3 4 5 x"));
}

TEST(CompleteCommNameTest, CutNameIsCompletedFromArgvZeroOnlyWhenItContinuesIt) {
  const std::string cut = "proclens-long-n";  // 15 characters, as the kernel keeps it
  EXPECT_EQ(CompleteCommName(cut, std::string("/opt/x/proclens-long-name\0--flag\0", 33)),
            "proclens-long-name");
  EXPECT_EQ(CompleteCommName(cut, std::string("proclens-long-name\0", 19)), "proclens-long-name");
  EXPECT_EQ(CompleteCommName(cut, std::string("/usr/bin/python3\0x\0", 19)), cut);
  EXPECT_EQ(CompleteCommName(cut, ""), cut);
  // A name shorter than the limit was never cut.
  EXPECT_EQ(CompleteCommName("bash", std::string("bash-wrapper\0", 13)), "bash");
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

TEST(LinuxSnapshotOpsTest, ListsNumberedDirectoriesInOrderAndLeavesOutKernelThreadsAndVanished) {
  TempDir proc;
  WriteFile(proc.path() / "300" / "stat", "300 (worker) S 1 300 300 0 -1 4194560 0 0");
  WriteFile(proc.path() / "2" / "stat", "2 (kthreadd) S 0 0 0 0 -1 2129984 0 0");
  WriteFile(proc.path() / "17" / "stat", "17 (init) S 0 17 17 0 -1 4194560 0 0");
  std::filesystem::create_directories(proc.path() / "55");  // ended: no stat left
  WriteFile(proc.path() / "self" / "stat", "9 (self) S 0 9 9 0 -1 0 0 0");
  WriteFile(proc.path() / "12a" / "stat", "12 (odd) S 0 9 9 0 -1 0 0 0");

  const std::string root = proc.path().string();
  LinuxSnapshotOps ops(root.c_str());
  const auto names = TakeSnapshot(ops);
  EXPECT_EQ(names, (std::map<std::uint32_t, std::string>{{17, "init"}, {300, "worker"}}));
}

TEST(LinuxSnapshotOpsTest, MissingProcGivesNoSnapshot) {
  LinuxSnapshotOps ops("/nonexistent-proc-root");
  EXPECT_EQ(ops.CreateSnapshot(), nullptr);
}

TEST(LiveSnapshotTest, ListsThisProcessButNotItsThreads) {
  std::atomic<bool> stop{false};
  std::atomic<pid_t> thread_id{0};
  std::thread worker([&] {
    thread_id = ::gettid();
    while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  while (thread_id == 0) std::this_thread::yield();
  const auto names = TakeLiveSnapshot();
  stop = true;
  worker.join();

  ASSERT_TRUE(names.count(static_cast<std::uint32_t>(::getpid())));
  EXPECT_EQ(names.count(static_cast<std::uint32_t>(thread_id.load())), 0u);
}

// Kernel threads are kthreadd (pid 2 where it is visible) and its children.
TEST(LiveSnapshotTest, KernelThreadsAreLeftOut) {
  std::ifstream kthreadd_comm("/proc/2/comm");
  std::string comm;
  if (!std::getline(kthreadd_comm, comm) || comm != "kthreadd") {
    GTEST_SKIP() << "kernel threads are not visible in this pid namespace";
  }
  const auto names = TakeLiveSnapshot();
  EXPECT_EQ(names.count(2), 0u);
  int kernel_threads_seen = 0;
  for (const auto& dir : std::filesystem::directory_iterator("/proc")) {
    std::ifstream status(dir.path() / "status");
    for (std::string line; std::getline(status, line);) {
      if (line != "PPid:\t2") continue;
      ++kernel_threads_seen;
      EXPECT_EQ(names.count(static_cast<std::uint32_t>(std::stoul(dir.path().filename()))), 0u)
          << dir.path();
    }
  }
  EXPECT_GT(kernel_threads_seen, 0);
}

TEST(LiveSnapshotTest, LongProgramNameIsCompletedFromArgvZero) {
  TempDir dir;
  const std::string name = "proclens-sleeper-with-a-long-name";
  const auto program = CopySleep(dir.path(), name, 1234567);
  Child by_path(program.string(), SleepArgs(program.string()));
  Child by_other_argv0(program.string(), SleepArgs("renamed"));

  const auto names = TakeLiveSnapshot();
  EXPECT_EQ(names.at(static_cast<std::uint32_t>(by_path.pid())), name);
  // argv[0] that does not continue comm leaves the kernel's 15 characters.
  EXPECT_EQ(names.at(static_cast<std::uint32_t>(by_other_argv0.pid())), name.substr(0, 15));
}

}  // namespace
}  // namespace proclens::linux_port
