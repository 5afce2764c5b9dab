#pragma once
// What tells a running AppImage apart: its runtime mounts the image with FUSE
// (as the user who started it) and starts the program inside with APPIMAGE
// (the image file) and APPDIR (the mount point) in its environment.

#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/proc/mount_info.h"

namespace proclens::linux_port {

struct AppImageRun {
  std::string appimage;  // APPIMAGE
  std::string appdir;    // APPDIR
};

// APPIMAGE and APPDIR of an environ text (NUL-separated NAME=value); nullopt
// when either is missing or not an absolute path.
std::optional<AppImageRun> ParseAppImageEnviron(std::string_view environ);

}  // namespace proclens::linux_port
