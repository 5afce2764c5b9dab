#include "platform/win32/win32_site_ops.h"

#include <vector>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {
namespace {

constexpr DWORD kVolumeTextCapacity = 255;
constexpr int kLocaleTextCapacity = 256;
constexpr DWORD kLongestPath = 32768;

OsVersion ReadVersion() {
  OsVersion version;
  version.family = OsFamily::Windows;
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(&info)) return version;
  version.platform_id = info.dwPlatformId;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  return version;
}

}  // namespace

OsVersion Win32SiteOps::VersionInfo() {
  static const OsVersion version = ReadVersion();
  return version;
}

std::string Win32SiteOps::ProgramPath() {
  // A path that fills the buffer may have been cut: try again with more room.
  for (DWORD capacity = MAX_PATH; capacity <= kLongestPath; capacity *= 2) {
    std::vector<char> buffer(capacity);
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) return std::string(buffer.data(), length);
  }
  return {};
}

std::optional<std::uint32_t> Win32SiteOps::VolumeSerial(const std::string& root_path) {
  char volume_name[kVolumeTextCapacity] = {};
  char file_system_name[kVolumeTextCapacity] = {};
  DWORD serial = 0;
  DWORD max_component_length = 0;
  DWORD file_system_flags = 0;
  if (!::GetVolumeInformationA(root_path.c_str(), volume_name, kVolumeTextCapacity, &serial,
                               &max_component_length, &file_system_flags, file_system_name,
                               kVolumeTextCapacity)) {
    return std::nullopt;
  }
  return serial;
}

std::optional<std::string> Win32SiteOps::LocaleInfo(std::uint16_t lang_id, std::uint32_t item) {
  char text[kLocaleTextCapacity] = {};
  if (::GetLocaleInfoA(MAKELCID(lang_id, SORT_DEFAULT), item, text, kLocaleTextCapacity) == 0) {
    return std::nullopt;
  }
  return std::string(text);
}

}  // namespace proclens::win32
