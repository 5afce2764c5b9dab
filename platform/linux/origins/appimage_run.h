#pragma once
// What tells a running AppImage apart: its runtime mounts the image with FUSE
// (as the user who started it) and starts the program inside with APPIMAGE
// (the image file) and APPDIR (the mount point) in its environment.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/unique_fd.h"

namespace proclens::linux_port {

struct Mount {
  std::string mount_point;
  bool fuse = false;
  std::optional<std::uint32_t> user_id;  // a FUSE mount's user_id option: who mounted it
};

// The mounts of a mountinfo text (proc(5)), in its order; lines that are no
// mount are left out.
std::vector<Mount> ParseMountInfo(std::string_view text);

// The mount that holds path: the last mount at the longest mount point that
// is a folder of path; nullptr when none does.
const Mount* MountHolding(const std::vector<Mount>& mounts, std::string_view path);

// A mount table (a mountinfo file) read again only when the kernel says it
// changed, so that asking about every process costs one poll.
class MountTable {
 public:
  explicit MountTable(std::string mountinfo) : mountinfo_(std::move(mountinfo)) {}
  const std::vector<Mount>& Current();

 private:
  std::string mountinfo_;
  UniqueFd fd_;
  std::vector<Mount> mounts_;
};

struct AppImageRun {
  std::string appimage;  // APPIMAGE
  std::string appdir;    // APPDIR
};

// APPIMAGE and APPDIR of an environ text (NUL-separated NAME=value); nullopt
// when either is missing or not an absolute path.
std::optional<AppImageRun> ParseAppImageEnviron(std::string_view environ);

// The text of a /proc file (whose size stat does not tell), at most limit bytes.
std::optional<std::string> ReadProcText(const std::string& path, std::size_t limit);

}  // namespace proclens::linux_port
