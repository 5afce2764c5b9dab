#include "platform/linux/origins/appimage/appimage_run.h"

namespace proclens::linux_port {

std::optional<AppImageRun> ParseAppImageEnviron(std::string_view environ) {
  AppImageRun run;
  while (!environ.empty()) {
    const std::size_t end = environ.find('\0');
    const std::string_view entry = environ.substr(0, end);
    environ.remove_prefix(end == std::string_view::npos ? environ.size() : end + 1);
    if (entry.starts_with("APPIMAGE=")) run.appimage = entry.substr(9);
    if (entry.starts_with("APPDIR=")) run.appdir = entry.substr(7);
  }
  while (run.appdir.size() > 1 && run.appdir.back() == '/') run.appdir.pop_back();
  if (!run.appimage.starts_with('/') || !run.appdir.starts_with('/')) return std::nullopt;
  return run;
}

}  // namespace proclens::linux_port
