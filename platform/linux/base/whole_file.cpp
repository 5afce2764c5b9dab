#include "platform/linux/base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {

std::optional<std::string_view> ReadOpenFile(int fd, std::size_t limit, std::string& buffer) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > limit)
    return std::nullopt;
  // Growing only: a smaller file does not pay for clearing the buffer again.
  const auto size = static_cast<std::size_t>(st.st_size);
  if (buffer.size() < size) buffer.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, buffer.data() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;  // the file shrank while it was read
    done += static_cast<std::size_t>(got);
  }
  return std::string_view(buffer.data(), done);
}

std::optional<std::string> ReadOpenFile(int fd, std::size_t limit) {
  std::string buffer;
  const auto text = ReadOpenFile(fd, limit, buffer);
  if (!text) return std::nullopt;
  buffer.resize(text->size());
  return buffer;
}

std::optional<std::string_view> ReadWholeFile(const std::string& path, std::size_t limit,
                                              std::string& buffer) {
  // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return std::nullopt;
  return ReadOpenFile(fd.get(), limit, buffer);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t limit) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return std::nullopt;
  return ReadOpenFile(fd.get(), limit);
}

}  // namespace proclens::linux_port
