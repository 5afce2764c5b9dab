#include "platform/linux/linux_version_ops.h"

#include <algorithm>
#include <cstring>

#include "platform/linux/base/path_search.h"

namespace proclens::linux_port {

std::vector<std::uint8_t> LinuxVersionOps::ReadBlock(const std::string& file_name) {
  const std::string path = ResolveAlongPath(file_name);
  if (path.empty()) return {};
  for (VersionBlockSource* source : sources_) {
    std::vector<std::uint8_t> block = source->BlockOf(path, pid_);
    if (!block.empty()) return block;
  }
  return {};
}

std::uint32_t LinuxVersionOps::GetFileVersionInfoSize(const std::string& file_name, std::uint32_t& handle) {
  handle = 0;
  pending_block_ = ReadBlock(file_name);
  pending_name_ = file_name;
  return static_cast<std::uint32_t>(pending_block_.size());
}

bool LinuxVersionOps::GetFileVersionInfo(const std::string& file_name, std::uint32_t /*handle*/, std::uint32_t size,
                                         std::uint8_t* buffer) {
  std::vector<std::uint8_t> block = file_name == pending_name_ ? std::move(pending_block_) : ReadBlock(file_name);
  pending_name_.clear();
  pending_block_.clear();
  if (block.empty()) return false;
  // Like the platform's call, a short buffer gets the start of the block.
  std::memcpy(buffer, block.data(), std::min<std::size_t>(size, block.size()));
  return true;
}

bool LinuxVersionOps::VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& sub_block,
                                    VersionValue& value) {
  return query_.VerQueryValue(block, block_size, sub_block, value);
}

}  // namespace proclens::linux_port
