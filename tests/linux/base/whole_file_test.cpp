// The capped reader: a file's bytes whole, only from a regular file no
// larger than the limit.

#include "platform/linux/base/whole_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "linux/support/live_process.h"
#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

// A descriptor of a file in memory that holds these bytes.
UniqueFd MemoryFile(const std::string& bytes) {
  UniqueFd fd(::memfd_create("whole-file-test", MFD_CLOEXEC));
  EXPECT_EQ(::write(fd.get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  // As freshly opened: read from the first byte.
  ::lseek(fd.get(), 0, SEEK_SET);
  return fd;
}

TEST(WholeFile, TheLimitIsTheLargestSizeRead) {
  const std::string bytes(4096, 'x');
  for (const std::size_t limit : {std::size_t{4095}, std::size_t{4096}, std::size_t{4097}}) {
    const UniqueFd fd = MemoryFile(bytes);
    std::string buffer = "stale";
    const auto read = ReadOpenFile(fd.get(), limit, buffer);
    EXPECT_EQ(read.has_value(), limit >= bytes.size()) << limit;
    if (read) {
      EXPECT_TRUE(*read == bytes) << limit;
    }
  }
  const UniqueFd empty = MemoryFile("");
  EXPECT_EQ(ReadOpenFile(empty.get(), 0), std::string());
}

TEST(WholeFile, OnlyRegularFilesAreRead) {
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  UniqueFd read_end(pipe_ends[0]), write_end(pipe_ends[1]);
  EXPECT_EQ(::write(write_end.get(), "abc", 3), 3);
  EXPECT_FALSE(ReadOpenFile(read_end.get(), 1024));
  linux_test::TempDir dir;
  const std::string fifo = (dir.path() / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(fifo, 1024));  // and without waiting for a writer
  EXPECT_FALSE(ReadWholeFile(dir.path().string(), 1024));
  EXPECT_FALSE(ReadWholeFile((dir.path() / "missing").string(), 1024));
}

}  // namespace
}  // namespace proclens::linux_port
