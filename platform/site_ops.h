#pragma once
// What the site client asks of the system besides HTTP: the system's version,
// the program's own path, volume serial numbers and locale names.

#include <cstdint>
#include <optional>
#include <string>

namespace proclens {

enum class OsFamily { Windows, Linux };

// The version query's answer, made once at program start; all zero when it failed.
struct OsVersion {
  OsFamily family = OsFamily::Windows;
  std::uint32_t platform_id = 0;  // Windows only: 1 the 9x family, 2 the NT family
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

inline constexpr std::uint32_t kLocaleEnglishLanguageName = 0x1001;  // LOCALE_SENGLANGUAGE
inline constexpr std::uint32_t kLocaleEnglishCountryName = 0x1002;   // LOCALE_SENGCOUNTRY

class SiteOps {
 public:
  virtual ~SiteOps() = default;
  // GetVersionExA, asked once and remembered.
  virtual OsVersion VersionInfo() = 0;
  // GetModuleFileNameA(NULL): the running program's full path, empty on failure.
  virtual std::string ProgramPath() = 0;
  // GetVolumeInformationA(root_path): the volume serial number, nullopt on failure.
  virtual std::optional<std::uint32_t> VolumeSerial(const std::string& root_path) = 0;
  // GetLocaleInfoA(MAKELCID(lang_id, SORT_DEFAULT), item) into 256 characters;
  // nullopt when the lookup fails.
  virtual std::optional<std::string> LocaleInfo(std::uint16_t lang_id, std::uint32_t item) = 0;
};

}  // namespace proclens
