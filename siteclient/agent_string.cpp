#include "siteclient/agent_string.h"

#include <cstdio>

namespace proclens {
namespace {

std::string FourHexDigits(std::uint16_t value) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(value));
  return digits;
}

std::string WindowsPlatformText(std::uint32_t platform_id) {
  if (platform_id == kPlatformWin32Nt) return " NT";
  if (platform_id == kPlatformWin32Windows) return " 9x";
  return "?";
}

}  // namespace

std::string ProgramFileName(const std::string& path) {
  const std::size_t last = path.find_last_of("\\:/");
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string SystemPiece(const OsVersion& version) {
  if (version.family == OsFamily::Linux) return " (Linux";
  return " (Windows " + WindowsPlatformText(version.platform_id);
}

std::string LocaleDescription(SiteOps& ops, SystemInfo& info) {
  // The language is asked afresh for each piece, as the system may answer
  // differently between the calls.
  std::string text = ", " + FourHexDigits(info.UserDefaultLangId()) + " ";
  text += ops.LocaleInfo(info.UserDefaultLangId(), kLocaleEnglishLanguageName).value_or("");
  text += "/";
  text += ops.LocaleInfo(info.UserDefaultLangId(), kLocaleEnglishCountryName).value_or("");
  return text;
}

std::string ComposeAgentString(SiteOps& ops, SystemInfo& info) {
  const OsVersion version = ops.VersionInfo();
  return ProgramFileName(ops.ProgramPath()) + "/1" + SystemPiece(version) + " " +
         std::to_string(version.major) + "." + std::to_string(version.minor) +
         LocaleDescription(ops, info) + ")";
}

}  // namespace proclens
