#pragma once
// Where a Linux program's version block comes from. A PE file carries its
// own; any other program gets one made from what installed it. The version
// operations ask the sources in order, and the first block wins.

#include <cstdint>
#include <string>
#include <vector>

namespace proclens::linux_port {

class VersionBlockSource {
 public:
  virtual ~VersionBlockSource() = default;
  // The block of the file at path (a path that names a file, not a bare
  // name), the program of process pid (0: the file as named); empty when
  // this source has none for it.
  virtual std::vector<std::uint8_t> BlockOf(const std::string& path, std::uint32_t pid) = 0;
};

}  // namespace proclens::linux_port
