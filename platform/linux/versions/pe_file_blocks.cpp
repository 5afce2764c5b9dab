#include "platform/linux/versions/pe_file_blocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/base/unique_fd.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/pe/pe_version_resource.h"
#include "platform/pe/windowed_reader.h"
#include "platform/linux/proc/process_root.h"

namespace proclens::linux_port {
namespace {

// Enough for the headers and section table of nearly every file, and for the
// directories of a resource tree; a few system calls per file in all.
constexpr std::size_t kReadWindow = 1024;

class FdReader : public pe::PositionedReader {
 public:
  FdReader(int fd, std::uint64_t size, std::uint64_t& bytes_read) : fd_(fd), size_(size), bytes_read_(bytes_read) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset > size_ || n > size_ - offset) return false;
    auto* out = static_cast<char*>(buffer);
    while (n > 0) {
      const ssize_t got = ::pread(fd_, out, n, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      bytes_read_ += static_cast<std::uint64_t>(got);
      out += got;
      offset += static_cast<std::uint64_t>(got);
      n -= static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  std::uint64_t size_;
  std::uint64_t& bytes_read_;
};

struct Read {
  std::vector<std::uint8_t> block;
  std::uint64_t bytes_read = 0;
};

Read ReadBlock(const std::string& path, std::uint16_t language) {
  Read read;
  // Non-blocking, so that a FIFO of that name cannot hold the caller up.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return read;
  FdReader file(fd.get(), static_cast<std::uint64_t>(st.st_size), read.bytes_read);
  pe::WindowedReader reader(file, kReadWindow);
  read.block = pe::ReadVersionResource(reader, language);
  return read;
}

}  // namespace

std::vector<std::uint8_t> PeFileBlocks::BlockOf(const std::string& file_path, std::uint32_t pid) {
  const std::uint16_t language = system_.UserDefaultLangId();
  // A process's program below its own root, where it has one.
  const std::string path = pid != 0 ? ThroughRoot(RootOfProcess(pid), file_path) : file_path;
  // A file on a FUSE mount is read on a thread of its own, which its file
  // system may keep waiting.
  const auto read = FuseQuestions::OfThisProgram().Ask<Read>(path, [path, language] { return ReadBlock(path, language); });
  if (!read) return {};
  bytes_read_ += read->bytes_read;
  return read->block;
}

}  // namespace proclens::linux_port
