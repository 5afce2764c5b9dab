#include "platform/linux/linux_site_ops.h"

#include <sys/statfs.h>
#include <sys/utsname.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/linux/base/locale_table.h"

namespace proclens::linux_port {

OsVersion KernelVersion(const char* release) {
  OsVersion version;
  version.family = OsFamily::Linux;
  char* end = nullptr;
  version.major = static_cast<std::uint32_t>(std::strtoul(release, &end, 10));
  if (end != release && *end == '.') {
    version.minor = static_cast<std::uint32_t>(std::strtoul(end + 1, nullptr, 10));
  }
  return version;
}

OsVersion LinuxSiteOps::VersionInfo() {
  static const OsVersion version = [] {
    utsname names{};
    if (uname(&names) != 0) {
      OsVersion unknown;
      unknown.family = OsFamily::Linux;
      return unknown;
    }
    return KernelVersion(names.release);
  }();
  return version;
}

std::string LinuxSiteOps::ProgramPath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::optional<std::uint32_t> LinuxSiteOps::VolumeSerial(const std::string& root_path) {
  struct statfs info {};
  if (statfs(root_path.c_str(), &info) != 0) return std::nullopt;
  std::uint32_t low_half = 0;
  static_assert(sizeof info.f_fsid >= sizeof low_half);
  // The first word of the id; the struct's members are private to the C library.
  std::memcpy(&low_half, &info.f_fsid, sizeof low_half);
  return low_half;
}

std::optional<std::string> LinuxSiteOps::LocaleInfo(std::uint16_t lang_id, std::uint32_t item) {
  const LocaleEntry* entry = FindLocaleByLangId(lang_id);
  if (entry == nullptr) return std::nullopt;
  if (item == kLocaleEnglishLanguageName) return entry->language_name;
  if (item == kLocaleEnglishCountryName) return entry->country_name;
  return std::nullopt;
}

}  // namespace proclens::linux_port
