#include "platform/linux/proc/overlay_upper.h"

#include <vector>

namespace proclens::linux_port {
namespace {

// The kernel writes a mount point, and overlay an option's value, with these
// bytes as a backslash and three octal digits: blank, tab, line end and
// backslash in every field, ',' and '=' in overlay's options too
// (fs/proc_namespace.c, seq_show_option).
std::string Unescaped(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                       field.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos;
    if (octal) {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t end = text.find(separator);
    parts.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return parts;
    text.remove_prefix(end + 1);
  }
}

struct RootMount {
  std::string_view type;
  std::string_view super_options;
};

// "ID PARENT MAJ:MIN ROOT MOUNT-POINT OPTIONS [TAGS...] - TYPE SOURCE SUPER-OPTIONS"
// (proc(5)); nullopt for a line that is no mount at "/".
std::optional<RootMount> RootMountOf(std::string_view line) {
  // One blank between fields, so an empty source stays a field of its own.
  const std::vector<std::string_view> fields = Split(line, ' ');
  std::size_t separator = 6;
  while (separator < fields.size() && fields[separator] != "-") ++separator;
  if (separator + 3 >= fields.size() || fields[4] != "/") return std::nullopt;
  return RootMount{fields[separator + 1], fields[separator + 3]};
}

}  // namespace

std::optional<std::string> RootOverlayUpperDir(std::string_view mountinfo) {
  // A mount covers the ones at its point listed before it: the last at "/" is
  // the root the process sees.
  std::optional<RootMount> root;
  for (const std::string_view line : Split(mountinfo, '\n')) {
    if (auto mount = RootMountOf(line)) root = mount;
  }
  if (!root || root->type != "overlay") return std::nullopt;
  for (const std::string_view option : Split(root->super_options, ',')) {
    if (option.starts_with("upperdir=") && option.size() > 9) return Unescaped(option.substr(9));
  }
  return std::nullopt;
}

}  // namespace proclens::linux_port
