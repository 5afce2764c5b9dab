#include "platform/win32/win32_version_ops.h"

#include "platform/win32/win32_api.h"

#include <winver.h>

// The generic-text macros would rename the seam's operations.
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue

namespace proclens::win32 {

std::uint32_t Win32VersionOps::GetFileVersionInfoSize(const std::string& file_name,
                                                      std::uint32_t& handle) {
  DWORD out_handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file_name.c_str(), &out_handle);
  handle = out_handle;
  return size;
}

bool Win32VersionOps::GetFileVersionInfo(const std::string& file_name, std::uint32_t handle,
                                         std::uint32_t size, std::uint8_t* buffer) {
  return GetFileVersionInfoA(file_name.c_str(), handle, size, buffer) != FALSE;
}

bool Win32VersionOps::VerQueryValue(const std::uint8_t* block, std::size_t /*block_size*/,
                                    const std::string& sub_block, VersionValue& value) {
  LPVOID found = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, sub_block.c_str(), &found, &length) || found == nullptr) return false;
  // The call does not say which kind of value it found; the caller knows from its path.
  value.text = static_cast<const char*>(found);
  value.data = static_cast<const std::uint8_t*>(found);
  value.length = length;
  return true;
}

}  // namespace proclens::win32
