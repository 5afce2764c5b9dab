#pragma once
// The file version API of version.dll, one call each.

#include "platform/version_ops.h"

namespace proclens::win32 {

class Win32VersionOps : public VersionOps {
 public:
  std::uint32_t GetFileVersionInfoSize(const std::string& file_name, std::uint32_t& handle) override;
  bool GetFileVersionInfo(const std::string& file_name, std::uint32_t handle, std::uint32_t size,
                          std::uint8_t* buffer) override;
  // VerQueryValueA walks the block by its own lengths; block_size is not needed.
  bool VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& sub_block,
                     VersionValue& value) override;
};

}  // namespace proclens::win32
