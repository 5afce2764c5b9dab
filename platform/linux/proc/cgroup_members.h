#pragma once
// Which control group holds each process, for every process at once: each
// folder of a hierarchy lists its processes in cgroup.procs, and a system has
// far fewer groups than processes, so one walk of the tree costs less than
// reading /proc/PID/cgroup for each of them.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/proc/mount_info.h"

namespace proclens::linux_port {

// The processes of the hierarchy mounted at mount, each with its group's path
// as /proc/PID/cgroup names it (the mount's root, then the folders below the
// mount point); nullopt when the tree cannot be read or has more than
// folder_limit folders. A process listed in two groups (the threads of a
// threaded subtree) is left out, since its own file names only one of them.
std::optional<std::map<std::uint32_t, std::string>> ReadCgroupMembers(const Mount& mount,
                                                                      std::size_t folder_limit);

// The path ProcessCgroupPath would take from each process's own file, for the
// hierarchies it looks at.
class CgroupPaths {
 public:
  // Walks the hierarchies that self_text (this process's own cgroup file)
  // names, where mounts (this namespace's) show them; nullopt when one of
  // them is not mounted or cannot be walked, or when the walk places this
  // process (self_pid) elsewhere than its own file does: the mounts then
  // show another view of the tree than /proc does.
  static std::optional<CgroupPaths> Read(const std::vector<Mount>& mounts, std::string_view self_text,
                                         std::uint32_t self_pid);

  // nullopt for a process that no walked group listed (started since).
  std::optional<std::string> PathOf(std::uint32_t pid) const;

 private:
  std::optional<std::map<std::uint32_t, std::string>> unified_;
  std::optional<std::map<std::uint32_t, std::string>> named_systemd_;
};

}  // namespace proclens::linux_port
