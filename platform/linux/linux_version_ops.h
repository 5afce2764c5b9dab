#pragma once
// The version API on Linux: a bare name is found along PATH as Windows finds
// one, its block comes from the first source that has one (versions/: the
// PE file's own resource, then what installed the program), and the block is
// queried like VerQueryValueA by platform/pe.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/versions/version_block_source.h"
#include "platform/pe/version_block.h"
#include "platform/version_ops.h"

namespace proclens::linux_port {

class LinuxVersionOps : public VersionOps {
 public:
  // sources: asked in this order; each must outlive this object.
  explicit LinuxVersionOps(std::vector<VersionBlockSource*> sources) : sources_(std::move(sources)) {}

  std::uint32_t GetFileVersionInfoSize(const std::string& file_name, std::uint32_t& handle) override;
  bool GetFileVersionInfo(const std::string& file_name, std::uint32_t handle, std::uint32_t size,
                          std::uint8_t* buffer) override;
  bool VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& sub_block,
                     VersionValue& value) override;
  void AskForProcess(std::uint32_t pid) override { pid_ = pid; }

 private:
  std::vector<std::uint8_t> ReadBlock(const std::string& file_name);

  std::vector<VersionBlockSource*> sources_;
  std::uint32_t pid_ = 0;
  pe::BlockQuery query_;
  // The block that the size call read, kept for the fill call that follows it.
  std::string pending_name_;
  std::vector<std::uint8_t> pending_block_;
};

}  // namespace proclens::linux_port
