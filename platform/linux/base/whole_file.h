#pragma once
// A file's bytes, read whole, but only from a regular file no larger than a
// limit. Package databases, desktop entries and metainfo are input that any
// package can shape: a FIFO in their place must not hold the reader up, nor a
// huge (or sparse) file fill the memory.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

// Desktop entries and AppStream metainfo: the largest real ones are a few
// dozen KiB.
inline constexpr std::size_t kApplicationFileLimit = 512u << 10;

// nullopt when the file cannot be opened or read, is no regular file, or is
// larger than limit.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t limit);
// The same into a buffer that is reused from file to file: the bytes are the
// start of the buffer, which only ever grows.
std::optional<std::string_view> ReadWholeFile(const std::string& path, std::size_t limit,
                                              std::string& buffer);
// The same for a file the caller opened (from its first byte on a fresh descriptor).
std::optional<std::string> ReadOpenFile(int fd, std::size_t limit);
std::optional<std::string_view> ReadOpenFile(int fd, std::size_t limit, std::string& buffer);

}  // namespace proclens::linux_port
