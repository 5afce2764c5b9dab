#include "platform/linux/pe_version_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/package_version_block.h"
#include "platform/linux/unique_fd.h"
#include "platform/pe/pe_version_resource.h"
#include "platform/pe/windowed_reader.h"

namespace proclens::linux_port {
namespace {

// Enough for the headers and section table of nearly every file, and for the
// directories of a resource tree; a few system calls per file in all.
constexpr std::size_t kReadWindow = 1024;

class FdReader : public pe::PositionedReader {
 public:
  FdReader(int fd, std::uint64_t size, std::uint64_t& bytes_read)
      : fd_(fd), size_(size), bytes_read_(bytes_read) {}
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

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string ResolveAlongPath(const std::string& file_name) {
  if (file_name.empty()) return {};
  if (file_name.find('/') != std::string::npos) return file_name;
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = folders.find(':', start);
    const std::string_view folder = std::string_view(folders).substr(start, colon - start);
    // An empty entry stands for the current folder.
    const std::string candidate = (folder.empty() ? std::string(".") : std::string(folder)) + '/' + file_name;
    if (IsRegularFile(candidate)) return candidate;
    if (colon == std::string::npos) return {};
    start = colon + 1;
  }
}

std::vector<std::uint8_t> PeVersionOps::ReadBlock(const std::string& file_name) {
  const std::uint16_t language = system_.UserDefaultLangId();
  struct Read {
    std::string path;
    std::vector<std::uint8_t> block;
    std::uint64_t bytes_read = 0;
  };
  // A file on a FUSE mount is read on a thread of its own, which its file
  // system may keep waiting.
  const auto read = FuseQuestions::OfThisProgram().Ask<Read>(file_name, [file_name, language] {
    Read done;
    done.path = ResolveAlongPath(file_name);
    if (!done.path.empty()) done.block = ReadPeBlock(done.path, language, done.bytes_read);
    return done;
  });
  if (!read) return {};
  bytes_read_ += read->bytes_read;
  if (read->path.empty()) return {};
  if (!read->block.empty() || origins_ == nullptr) return read->block;
  return PackageBlock(read->path);
}

std::vector<std::uint8_t> PeVersionOps::PackageBlock(const std::string& path) {
  // Packages list the file itself, not the links that lead to it.
  const auto file = ProgramFileAt(path, 0);
  if (!file) return {};
  const std::uint16_t language = system_.UserDefaultLangId();
  const auto texts = origins_->Describe(*file, IsGermanLanguage(language));
  if (!texts) return {};
  return PackageVersionBlock(*texts, language);
}

std::vector<std::uint8_t> PeVersionOps::ReadPeBlock(const std::string& path, std::uint16_t language,
                                                    std::uint64_t& bytes_read) {
  // Non-blocking, so that a FIFO of that name cannot hold the caller up.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return {};
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  FdReader file(fd.get(), static_cast<std::uint64_t>(st.st_size), bytes_read);
  pe::WindowedReader reader(file, kReadWindow);
  return pe::ReadVersionResource(reader, language);
}

std::uint32_t PeVersionOps::GetFileVersionInfoSize(const std::string& file_name,
                                                   std::uint32_t& handle) {
  handle = 0;
  pending_block_ = ReadBlock(file_name);
  pending_name_ = file_name;
  return static_cast<std::uint32_t>(pending_block_.size());
}

bool PeVersionOps::GetFileVersionInfo(const std::string& file_name, std::uint32_t /*handle*/,
                                      std::uint32_t size, std::uint8_t* buffer) {
  std::vector<std::uint8_t> block =
      file_name == pending_name_ ? std::move(pending_block_) : ReadBlock(file_name);
  pending_name_.clear();
  pending_block_.clear();
  if (block.empty()) return false;
  // Like the platform's call, a short buffer gets the start of the block.
  std::memcpy(buffer, block.data(), std::min<std::size_t>(size, block.size()));
  return true;
}

bool PeVersionOps::VerQueryValue(const std::uint8_t* block, std::size_t block_size,
                                 const std::string& sub_block, VersionValue& value) {
  return query_.VerQueryValue(block, block_size, sub_block, value);
}

}  // namespace proclens::linux_port
