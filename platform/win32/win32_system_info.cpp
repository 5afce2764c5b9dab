#include "platform/win32/win32_system_info.h"

#include <cstring>
#include <vector>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {
namespace {

unsigned ReadSystemDirectory(char* buffer, unsigned capacity) {
  return GetSystemDirectoryA(buffer, capacity);
}
unsigned ReadWindowsDirectory(char* buffer, unsigned capacity) {
  return GetWindowsDirectoryA(buffer, capacity);
}

}  // namespace

std::optional<std::string> ReadDirectory(DirectoryReader read, unsigned capacity) {
  std::vector<char> buffer(capacity, '\0');
  const unsigned length = read(buffer.data(), capacity);
  if (length == 0 || length >= capacity) return std::nullopt;
  // Never past the buffer, even if the call left no terminating zero.
  return std::string(buffer.data(), strnlen(buffer.data(), length));
}

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
  return ReadDirectory(ReadSystemDirectory, kDirectoryCapacity);
}

std::optional<std::string> Win32SystemInfo::WindowsDirectory() {
  return ReadDirectory(ReadWindowsDirectory, kDirectoryCapacity);
}

std::uint16_t Win32SystemInfo::UserDefaultLangId() { return GetUserDefaultLangID(); }

std::string Win32SystemInfo::UpperCase(std::string text) {
  if (!text.empty() && text.size() <= MAXDWORD) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  }
  return text;
}

}  // namespace proclens::win32
