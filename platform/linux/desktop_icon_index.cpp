#include "platform/linux/desktop_icon_index.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <stdlib.h>

#include <string_view>

#include "platform/linux/gobject_ptr.h"

namespace proclens::linux_port {
namespace {

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

// The file that an entry's Exec starts: looked up along PATH like a shell
// would, then with every link resolved, as /proc reports executables.
std::optional<std::string> ProgramOf(GAppInfo* app) {
  const char* executable = g_app_info_get_executable(app);
  if (executable == nullptr || *executable == '\0' || IsLauncher(executable)) return std::nullopt;
  GCharPtr found(g_find_program_in_path(executable));
  if (!found) return std::nullopt;
  return RealPathOf(found.get());
}

std::optional<std::string> SerializedIconOf(GAppInfo* app) {
  GIcon* icon = g_app_info_get_icon(app);  // owned by the app info
  if (icon == nullptr) return std::nullopt;
  GCharPtr text(g_icon_to_string(icon));
  if (!text) return std::nullopt;
  return std::string(text.get());
}

}  // namespace

std::optional<std::string> RealPathOf(const std::string& path) {
  std::unique_ptr<char, decltype(&::free)> real(::realpath(path.c_str(), nullptr), &::free);
  if (!real) return std::nullopt;
  return std::string(real.get());
}

DesktopIconIndex DesktopIconIndex::Load() {
  DesktopIconIndex index;
  GObjectListPtr apps(g_app_info_get_all());
  for (GList* item = apps.get(); item != nullptr; item = item->next) {
    auto* app = static_cast<GAppInfo*>(item->data);
    if (!G_IS_DESKTOP_APP_INFO(app)) continue;
    const auto program = ProgramOf(app);
    if (!program) continue;
    const auto icon = SerializedIconOf(app);
    if (!icon) continue;
    index.icon_by_program_.emplace(*program, *icon);  // the first entry keeps its place
  }
  return index;
}

std::optional<std::string> DesktopIconIndex::IconFor(const std::string& path) const {
  const auto real = RealPathOf(path);
  if (!real) return std::nullopt;
  const auto found = icon_by_program_.find(*real);
  if (found == icon_by_program_.end()) return std::nullopt;
  return found->second;
}

}  // namespace proclens::linux_port
