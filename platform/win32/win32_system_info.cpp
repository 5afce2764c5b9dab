#include "platform/win32/win32_system_info.h"

#include "platform/win32/win32_api.h"

namespace proclens::win32 {
namespace {

// The directory only when the call copied all of it: a result of the capacity
// or more is the size it would need, and the buffer holds nothing usable.
std::optional<std::string> DirectoryFrom(UINT (*read)(char*, UINT)) {
  char buffer[Win32SystemInfo::kDirectoryCapacity] = {};
  const UINT length = read(buffer, Win32SystemInfo::kDirectoryCapacity);
  if (length == 0 || length >= Win32SystemInfo::kDirectoryCapacity) return std::nullopt;
  return std::string(buffer, length);
}

UINT ReadSystemDirectory(char* buffer, UINT capacity) { return GetSystemDirectoryA(buffer, capacity); }
UINT ReadWindowsDirectory(char* buffer, UINT capacity) { return GetWindowsDirectoryA(buffer, capacity); }

}  // namespace

std::uint32_t ReadPlatformId() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version)) return 0;
  return version.dwPlatformId;
}

Win32SystemInfo::Win32SystemInfo() : Win32SystemInfo(ReadPlatformId()) {}

Win32SystemInfo::Win32SystemInfo(std::uint32_t platform_id)
    : traits_(WindowsTraits(platform_id)) {}

std::optional<std::string> Win32SystemInfo::SystemDirectory() {
  return DirectoryFrom(ReadSystemDirectory);
}

std::optional<std::string> Win32SystemInfo::WindowsDirectory() {
  return DirectoryFrom(ReadWindowsDirectory);
}

std::uint16_t Win32SystemInfo::UserDefaultLangId() { return GetUserDefaultLangID(); }

std::string Win32SystemInfo::UpperCase(std::string text) {
  if (!text.empty() && text.size() <= MAXDWORD) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  }
  return text;
}

}  // namespace proclens::win32
