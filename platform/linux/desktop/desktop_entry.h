#pragma once
// One desktop entry file (the freedesktop.org format that menus and docks
// read), as far as the process list needs it: the program it starts and its
// icon. GLib's key-file reader parses it; GIO's application registry is left
// alone, because it loads GIO's modules and watches the folders, which costs
// a command-line program more than reading the few files it needs.

#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

struct DesktopEntry {
  // The file that Exec starts, found along PATH and with every link resolved
  // (as /proc reports programs); empty when Exec only starts a launcher (env,
  // sh -c ...) or names no program that exists.
  std::string program;
  // The icon as the icon theme takes it: a themed icon's name, or a file's
  // absolute path. Any other Icon value (an address, a relative path) counts
  // as none, so that reading an entry never reaches the network.
  std::string icon;
};

// An Icon value as the icon theme or GIO takes it without reaching the
// network: a theme's name (no folder, no scheme), without the picture's
// extension as menus write it, or a local file's absolute path; empty for
// anything else (an address, a relative path, a serialized icon).
std::string LocalIconOf(std::string icon);

// nullopt when the file is no application entry, is hidden, or has no icon;
// also when it is no regular file or is far larger than any real entry.
std::optional<DesktopEntry> ReadDesktopEntry(const std::string& file);

}  // namespace proclens::linux_port
