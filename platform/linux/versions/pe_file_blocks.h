#pragma once
// The version resource of PE files, read with pread through the portable
// reader of platform/pe.

#include <atomic>
#include <cstdint>

#include "platform/linux/versions/version_block_source.h"
#include "platform/system_info.h"

namespace proclens::linux_port {

class PeFileBlocks : public VersionBlockSource {
 public:
  // The user's language picks among the languages of a resource.
  explicit PeFileBlocks(SystemInfo& system) : system_(system) {}

  std::vector<std::uint8_t> BlockOf(const std::string& path, std::uint32_t pid) override;

  // Bytes read from files so far, for the benchmark.
  std::uint64_t bytes_read() const { return bytes_read_; }

 private:
  SystemInfo& system_;
  std::atomic<std::uint64_t> bytes_read_{0};
};

}  // namespace proclens::linux_port
