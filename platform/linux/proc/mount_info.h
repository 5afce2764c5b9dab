#pragma once
// The mount table of a mount namespace (proc(5)'s mountinfo), and the text of
// /proc files, whose size stat does not tell.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {

struct Mount {
  std::string mount_point;
  std::uint32_t device_major = 0;  // the st_dev of its files; a FUSE mount's minor is its connection
  std::uint32_t device_minor = 0;
  bool fuse = false;
  std::optional<std::uint32_t> user_id;  // a FUSE mount's user_id option: who mounted it
  std::string root;                      // the folder of its file system that is mounted there
  // A control-group hierarchy's mount: "0" for the unified one, else its
  // named hierarchy ("name=systemd"); empty for others.
  std::string cgroup_hierarchy;
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

// The text of a /proc file, at most limit bytes.
std::optional<std::string> ReadProcText(const std::string& path, std::size_t limit);
// The same for a file named beneath an open folder, not following a link.
std::optional<std::string> ReadProcTextAt(int folder, const char* name, std::size_t limit);

}  // namespace proclens::linux_port
