#pragma once
// The version API on Linux: the version resource of PE files read with pread,
// and the block queries of platform/pe. Any other file, and a PE file without
// a version resource, gets a block made from what installed it says it is.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/origins/program_origins.h"
#include "platform/pe/version_block.h"
#include "platform/system_info.h"
#include "platform/version_ops.h"

namespace proclens::linux_port {

class PeVersionOps : public VersionOps {
 public:
  // The user's language picks among the languages of a version resource, and
  // between a package's German and untranslated texts. Without packages, only
  // PE files have version blocks.
  explicit PeVersionOps(SystemInfo& system, ProgramOrigins* origins = &ProgramOrigins::System())
      : system_(system), origins_(origins) {}

  std::uint32_t GetFileVersionInfoSize(const std::string& file_name, std::uint32_t& handle) override;
  bool GetFileVersionInfo(const std::string& file_name, std::uint32_t handle, std::uint32_t size,
                          std::uint8_t* buffer) override;
  bool VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& sub_block,
                     VersionValue& value) override;

  // Bytes read from files so far, for the benchmark.
  std::uint64_t bytes_read() const { return bytes_read_; }

 private:
  std::vector<std::uint8_t> ReadBlock(const std::string& file_name);
  static std::vector<std::uint8_t> ReadPeBlock(const std::string& path, std::uint16_t language,
                                               std::uint64_t& bytes_read);
  std::vector<std::uint8_t> PackageBlock(const std::string& path);

  SystemInfo& system_;
  ProgramOrigins* origins_;
  pe::BlockQuery query_;
  std::uint64_t bytes_read_ = 0;
  // The block that the size call read, kept for the fill call that follows it.
  std::string pending_name_;
  std::vector<std::uint8_t> pending_block_;
};

// A name without '/' looked up along PATH, the way a shell finds a program;
// any other name as it stands. Empty when nothing of that name is found.
std::string ResolveAlongPath(const std::string& file_name);

}  // namespace proclens::linux_port
