// What a snapshot keeps of each process for its fill's facts, and how long
// that record may answer.

#include "platform/linux/proc/process_records.h"

#include <fcntl.h>
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

}  // namespace
}  // namespace proclens::linux_port
