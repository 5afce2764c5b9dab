#include "siteclient/installation_id.h"

namespace proclens {
namespace {

constexpr std::int64_t kBase = 62;
constexpr std::uint32_t kLanguageMask = 0x3FF;

bool IsDriveLetterPath(const std::string& path) {
  const unsigned char first = static_cast<unsigned char>(path.empty() ? 0 : path[0]);
  const bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
  return letter && path.size() >= 2 && path[1] == ':';
}

// "\\server\share" of a network path: up to the separator after the share name.
std::string NetworkDrive(const std::string& path) {
  const std::size_t server_end = path.find('\\', 2);
  if (server_end == std::string::npos) return path;
  const std::size_t share_end = path.find('\\', server_end + 1);
  return share_end == std::string::npos ? path : path.substr(0, share_end);
}

}  // namespace

char Base62Char(std::int32_t n) {
  // Widened first: the absolute value of the most negative int does not fit an int.
  std::int64_t v = n;
  if (v < 0) v = -v;
  v %= kBase;
  if (v < 10) return static_cast<char>('0' + v);
  if (v < 36) return static_cast<char>('A' + (v - 10));
  return static_cast<char>('a' + (v - 36));
}

char ChecksumChar(const std::string& text) {
  std::uint64_t sum = 0;
  for (const char c : text) sum += static_cast<unsigned char>(c);
  return Base62Char(static_cast<std::int32_t>(sum % kBase));
}

std::string VolumeRootOf(const std::string& path) {
  if (IsDriveLetterPath(path)) return path.substr(0, 2) + "\\";
  if (path.rfind("\\\\", 0) == 0) return NetworkDrive(path) + "\\";
  if (path.rfind('/', 0) == 0) return path.substr(0, path.find_last_of('/') + 1);
  return "\\";
}

std::uint32_t ProgramVolumeSerial(SiteOps& ops) {
  return ops.VolumeSerial(VolumeRootOf(ops.ProgramPath())).value_or(0);
}

std::string InstallationId(SiteOps& ops, SystemInfo& info) {
  const std::uint32_t serial = ProgramVolumeSerial(ops);
  std::uint32_t language = info.UserDefaultLangId() & kLanguageMask;
  if (language >= kBase) language = 0;
  std::string text;
  text += Base62Char(static_cast<std::int32_t>(language));
  text += Base62Char(1);
  text += Base62Char(static_cast<std::int32_t>(serial >> 16));
  text += Base62Char(static_cast<std::int32_t>(serial & 0xFFFF));
  return text + ChecksumChar(text);
}

}  // namespace proclens
