#include "platform/linux/units/unit_file_text.h"

#include <glib.h>

#include "platform/linux/base/gobject_ptr.h"
#include "platform/linux/units/unit_name.h"

namespace proclens::linux_port {
namespace {

constexpr std::string_view kBlanks = " \t\n\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Strip(std::string_view text) {
  const std::size_t start = text.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

bool IsComment(std::string_view line) {
  const std::size_t start = line.find_first_not_of(kBlanks);
  return start != std::string_view::npos && (line[start] == '#' || line[start] == ';');
}

// A backslash at the end that no backslash before it escapes.
bool EndsInContinuation(std::string_view line) {
  bool escaped = false;
  for (const char c : line) escaped = !escaped && c == '\\';
  return escaped;
}

struct Reading {
  std::string_view unit_name;
  std::string section;
  std::optional<std::string> description;
};

void ReadLine(std::string_view line, Reading& reading) {
  line = Strip(line);
  if (line.empty() || !g_utf8_validate_len(line.data(), line.size(), nullptr)) return;
  if (line.front() == '[') {
    if (line.size() >= 2 && line.back() == ']') reading.section = std::string(line.substr(1, line.size() - 2));
    return;
  }
  const std::size_t equals = line.find('=');
  if (reading.section.empty() || equals == std::string_view::npos || equals == 0) return;
  if (reading.section == "Unit" && Strip(line.substr(0, equals)) == "Description")
    reading.description = ExpandNameSpecifiers(Strip(line.substr(equals + 1)), reading.unit_name);
}

// %j: the prefix's last "-"-separated part.
std::string_view LastPrefixPart(std::string_view prefix) {
  const std::size_t dash = prefix.rfind('-');
  return dash == std::string_view::npos ? prefix : prefix.substr(dash + 1);
}

std::optional<std::string> NameSpecifier(char specifier, std::string_view name, const UnitNameParts& parts) {
  switch (specifier) {
    case 'n': return std::string(name);
    case 'N': return std::string(name.substr(0, name.size() - parts.type.size() - 1));
    case 'p': return std::string(parts.prefix);
    case 'P': return UnescapeNamePart(parts.prefix);
    case 'i': return std::string(parts.instance);
    case 'I': return UnescapeNamePart(parts.instance);
    case 'j': return std::string(LastPrefixPart(parts.prefix));
    case 'J': return UnescapeNamePart(LastPrefixPart(parts.prefix));
    case 'f': return UnescapeNamePath(parts.instance.empty() ? parts.prefix : parts.instance);
    case '%': return std::string("%");
    default: return std::nullopt;
  }
}

}  // namespace

std::string ExpandNameSpecifiers(std::string_view value, std::string_view unit_name) {
  const auto parts = ParseUnitName(unit_name);
  std::string text;
  // Past the limit the rest would only be cut off.
  for (std::size_t i = 0; i < value.size() && text.size() <= kDescriptionLimit; ++i) {
    const bool specifier = parts && value[i] == '%' && i + 1 < value.size();
    const auto expanded = specifier ? NameSpecifier(value[i + 1], unit_name, *parts) : std::nullopt;
    if (!expanded) {
      text.push_back(value[i]);
      continue;
    }
    text += *expanded;
    ++i;
  }
  return text;
}

std::string BoundedDescription(std::string_view text) {
  GCharPtr valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  std::string bounded(valid.get());
  if (bounded.size() <= kDescriptionLimit) return bounded;
  std::size_t end = kDescriptionLimit;
  while (end > 0 && (static_cast<unsigned char>(bounded[end]) & 0xC0) == 0x80) --end;
  bounded.resize(end);
  return bounded;
}

std::optional<std::string> LastUnitDescription(std::string_view bytes, std::string_view unit_name) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  Reading reading{unit_name, {}, std::nullopt};
  std::string continued;
  bool continuing = false;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (IsComment(line)) continue;
    // What came before ends in the blank that replaced its backslash, so the
    // new line alone says whether the text goes on.
    if (EndsInContinuation(line)) {
      if (!continuing) continued.clear();
      continued.append(line);
      continued.back() = ' ';
      continuing = true;
      continue;
    }
    if (!continuing) {
      ReadLine(line, reading);
      continue;
    }
    continued.append(line);
    ReadLine(continued, reading);
    continuing = false;
  }
  if (continuing) ReadLine(continued, reading);
  return reading.description;
}

}  // namespace proclens::linux_port
