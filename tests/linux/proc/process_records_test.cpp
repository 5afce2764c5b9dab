// What a snapshot keeps of each process for its fill's facts, and how long
// that record may answer.

#include "platform/linux/proc/process_records.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

TEST(ProcessRecordsTest, ARecordAnswersForItsProcessOnceThenTheFillIsOver) {
  ProcessRecords records;
  records.Replace({{10, {1, 500, 0, "init"}}, {11, {10, 900, 1000, "bash"}}});
  EXPECT_EQ(records.TakeOwn(11)->parent_pid, 10u);
  // A parent is asked as often as it has children.
  EXPECT_EQ(records.Parent(10)->name, "init");
  EXPECT_EQ(records.Parent(10)->start_time, 500u);
  // Asked again, the identifier may name another process by now: all go.
  EXPECT_FALSE(records.TakeOwn(11));
  EXPECT_FALSE(records.Parent(10));
  EXPECT_FALSE(records.TakeOwn(10));
  records.Replace({{12, {1, 7, 0, "x"}}});
  EXPECT_FALSE(records.TakeOwn(13)) << "a process the snapshot did not list";
  EXPECT_FALSE(records.TakeOwn(12));
}

TEST(ProcessRecordsTest, TheRecordOfThisProcessIsWhatTheKernelSaysOfIt) {
  const UniqueFd proc(::open("/proc", O_PATH | O_DIRECTORY | O_CLOEXEC));
  const auto read = ReadRecordedEntry(proc.get(), static_cast<std::uint32_t>(::getpid()));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->second.parent_pid, static_cast<std::uint32_t>(::getppid()));
  EXPECT_EQ(read->second.uid, ::geteuid());
  EXPECT_EQ(read->second.name, read->first.exe_file);
  EXPECT_EQ(read->second.start_time, ReadStatFields(proc.get(), static_cast<std::uint32_t>(::getpid()))->start_time);
  const auto kthreadd = ReadStatFields(proc.get(), 2);
  if (kthreadd && (kthreadd->flags & kKernelThreadFlag) != 0) {
    EXPECT_FALSE(ReadRecordedEntry(proc.get(), 2)) << "kthreadd is a kernel thread";
  }
}

// A daemon that drops to its own user without starting a new program is no
// longer dumpable, and the files of its /proc folder then belong to root.
TEST(ProcessRecordsTest, AProcessThatIsNotDumpableRunsAsItsOwnUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to change a child's user";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0 && ::prctl(PR_SET_DUMPABLE, 0) == 0;
    (void)!::write(ready[1], dropped ? "y" : "n", 1);
    ::pause();
    ::_exit(0);
  }
  char said = 0;
  ASSERT_EQ(::read(ready[0], &said, 1), 1);
  const UniqueFd proc(::open("/proc", O_PATH | O_DIRECTORY | O_CLOEXEC));
  const auto read = ReadRecordedEntry(proc.get(), static_cast<std::uint32_t>(child));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  ASSERT_EQ(said, 'y');
  ASSERT_TRUE(read);
  EXPECT_EQ(read->second.uid, 65534u);
}

}  // namespace
}  // namespace proclens::linux_port
