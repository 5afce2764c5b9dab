#include "platform/linux/linux_page_file_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

// A descriptor whose close is checked when the caller asks, and done anyway
// on every other way out.
class OpenFile {
 public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int fd() const { return fd_; }
  bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

}  // namespace

std::string LinuxPageFileOps::ProgramPath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) {
      last_error_ = errno;
      return "";
    }
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> LinuxPageFileOps::TemporaryFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::optional<std::string> LinuxPageFileOps::CreateTemporaryFile(const std::string& folder,
                                                                 const std::string& prefix) {
  std::string name = folder + prefix + "XXXXXX" + kPageFileSuffix;
  const int suffix_length = static_cast<int>(std::strlen(kPageFileSuffix));
  UniqueFd file(::mkostemps(name.data(), suffix_length, O_CLOEXEC));
  if (!file.valid()) {
    last_error_ = errno;
    return std::nullopt;
  }
  return name;
}

bool LinuxPageFileOps::WriteWholeFile(const std::string& path, std::string_view bytes) {
  OpenFile file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW));
  if (file.fd() < 0) {
    last_error_ = errno;
    return false;
  }
  while (!bytes.empty()) {
    const ssize_t written = ::write(file.fd(), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      last_error_ = written < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  // A full disk or a network folder may only report the failure here.
  if (!file.Close()) {
    last_error_ = errno;
    return false;
  }
  return true;
}

std::string LinuxPageFileOps::LastErrorText() { return last_error_ ? std::strerror(last_error_) : ""; }

}  // namespace proclens::linux_port
