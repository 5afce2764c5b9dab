#include "platform/linux/desktop/desktop_entry.h"

#include <glib.h>

#include <memory>

#include "platform/linux/base/gobject_ptr.h"
#include "platform/linux/desktop/key_file.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

constexpr char kGroup[] = "Desktop Entry";

// Programs that only start the one an entry is about (Exec=env VAR=1 app,
// Exec=sh -c "..."): their processes are not that application.
constexpr std::string_view kLaunchers[] = {"env", "sh", "bash", "dash", "flatpak", "snap",
                                           "gtk-launch", "xdg-open"};

bool IsLauncher(std::string_view program) {
  const auto slash = program.rfind('/');
  if (slash != std::string_view::npos) program.remove_prefix(slash + 1);
  for (const std::string_view launcher : kLaunchers) {
    if (program == launcher) return true;
  }
  return false;
}

struct StrvFree {
  void operator()(gchar** strings) const { g_strfreev(strings); }
};

// The first word of Exec, as a shell would split it.
std::string ProgramOf(const std::string& exec) {
  gchar** words = nullptr;
  if (exec.empty() || !g_shell_parse_argv(exec.c_str(), nullptr, &words, nullptr)) return {};
  std::unique_ptr<gchar*, StrvFree> owned(words);
  if (words[0] == nullptr || IsLauncher(words[0])) return {};
  GCharPtr found(g_find_program_in_path(words[0]));
  if (!found) return {};
  return RealPathOf(found.get()).value_or(std::string());
}

}  // namespace

std::string LocalIconOf(std::string icon) {
  // The window makes the icon with g_icon_new_for_string, which would take
  // "http://..." (or a serialized icon, beginning with '.' or '(') for a file
  // to fetch over the network.
  if (icon.empty() || icon.front() == '/') return icon;
  if (icon.find_first_of("/:") != std::string::npos || icon.front() == '.' || icon.front() == '(') return {};
  for (const std::string_view extension : {".png", ".xpm", ".svg"}) {
    if (icon.size() > extension.size() && icon.compare(icon.size() - extension.size(), extension.size(), extension) == 0)
      return icon.substr(0, icon.size() - extension.size());
  }
  return icon;
}

std::optional<DesktopEntry> ReadDesktopEntry(const std::string& file) {
  // Read here rather than by GLib, which would wait on a FIFO and take in a
  // file of any size.
  const auto bytes = ReadWholeFile(file, kApplicationFileLimit);
  if (!bytes) return std::nullopt;
  const auto keys = KeyFile::Parse(*bytes);
  if (!keys || keys->Get(kGroup, "Type") != "Application" || keys->GetBoolean(kGroup, "Hidden")) return std::nullopt;
  DesktopEntry entry;
  entry.icon = LocalIconOf(keys->Get(kGroup, "Icon"));
  if (entry.icon.empty()) return std::nullopt;
  entry.program = ProgramOf(keys->Get(kGroup, "Exec"));
  return entry;
}

}  // namespace proclens::linux_port
