#include "platform/linux/units/unit_name.h"

#include <array>
#include <charconv>

#include "platform/hex_digit.h"

namespace proclens::linux_port {
namespace {

constexpr std::array<std::string_view, 11> kUnitTypes = {
    "service", "mount", "swap", "socket", "target", "device", "automount", "timer", "path", "slice", "scope"};

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
         c == '-' || c == '_' || c == '.' || c == '\\' || c == '@';
}

}  // namespace

std::optional<UnitNameParts> ParseUnitName(std::string_view name) {
  if (name.empty() || name.size() >= kUnitNameLimit) return std::nullopt;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  UnitNameParts parts;
  parts.type = name.substr(dot + 1);
  bool known = false;
  for (const std::string_view type : kUnitTypes) known = known || type == parts.type;
  if (!known) return std::nullopt;
  const std::string_view stem = name.substr(0, dot);
  for (const char c : stem)
    if (!IsNameCharacter(c)) return std::nullopt;
  const std::size_t at = stem.find('@');
  if (at == 0) return std::nullopt;
  parts.prefix = stem.substr(0, at);
  if (at != std::string_view::npos) {
    parts.instance = stem.substr(at + 1);
    parts.templated = parts.instance.empty();
  }
  return parts;
}

bool IsRunnableUnitName(std::string_view name) {
  const auto parts = ParseUnitName(name);
  return parts && !parts->templated;
}

bool IsSliceName(std::string_view name) {
  const auto parts = ParseUnitName(name);
  return parts && parts->type == "slice" && name.find('@') == std::string_view::npos;
}

std::string_view CgroupUnescape(std::string_view folder) {
  if (folder.starts_with('_')) folder.remove_prefix(1);
  return folder;
}

std::string TemplateOf(std::string_view name) {
  const auto parts = ParseUnitName(name);
  if (!parts || parts->instance.empty()) return std::string(name);
  return std::string(parts->prefix) + "@." + std::string(parts->type);
}

std::string UnescapeNamePart(std::string_view part) {
  std::string text;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (part[i] == '-') {
      text.push_back('/');
    } else if (part[i] == '\\' && i + 3 < part.size() && part[i + 1] == 'x' && HexDigitValue(part[i + 2]) >= 0 &&
               HexDigitValue(part[i + 3]) >= 0) {
      text.push_back(static_cast<char>(HexDigitValue(part[i + 2]) * 16 + HexDigitValue(part[i + 3])));
      i += 3;
    } else {
      text.push_back(part[i]);
    }
  }
  return text;
}

std::string UnescapeNamePath(std::string_view part) {
  // "-" alone is the root; otherwise the path's leading "/" was dropped.
  if (part == "-") return "/";
  const std::string path = UnescapeNamePart(part);
  return path.starts_with('/') ? path : "/" + path;
}

std::optional<std::uint32_t> UserManagerUid(std::string_view name) {
  const auto parts = ParseUnitName(name);
  if (!parts || parts->prefix != "user" || parts->type != "service" || parts->instance.empty()) return std::nullopt;
  const std::string_view digits = parts->instance;
  if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
  std::uint32_t uid = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), uid);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  // (uid_t) -1 and its 16-bit form are never users.
  if (uid == 0xFFFFFFFFu || uid == 0xFFFFu) return std::nullopt;
  return uid;
}

}  // namespace proclens::linux_port
