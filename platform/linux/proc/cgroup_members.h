#pragma once
// Which control group holds each process, for every process at once: each
// folder of a hierarchy lists its processes in cgroup.procs, and a system has
// far fewer groups than processes, so one walk of the tree costs less than
// reading /proc/PID/cgroup for each of them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/linux/proc/mount_info.h"

namespace proclens::linux_port {

// The processes of one hierarchy, each with its group's path as
// /proc/PID/cgroup names it.
class CgroupMembers {
 public:
  // nullptr for a process that no group lists, or that two groups list (the
  // threads of a threaded subtree), since its own file names only one.
  const std::string* GroupOf(std::uint32_t pid) const;

  void Add(std::uint32_t pid, std::size_t group);
  std::size_t AddGroup(std::string path);
  // Every process that no other group lists is in this one.
  void TakeTheRestAs(std::size_t group) { rest_ = group; }

 private:
  static constexpr std::uint32_t kListedTwice = UINT32_MAX;
  std::vector<std::string> groups_;
  std::unordered_map<std::uint32_t, std::uint32_t> group_of_;
  std::optional<std::size_t> rest_;
};

// The members of the hierarchy mounted at mount (the mount's root, then the
// folders below the mount point, give each group's path); nullopt when the
// tree cannot be read or has more than folder_limit folders. Where the whole
// hierarchy is mounted, its root group's list (every process of a machine
// without a service manager, read at a cost per process) is not read: a
// process that ran before the walk and that no other group lists is there.
std::optional<CgroupMembers> ReadCgroupMembers(const Mount& mount, std::size_t folder_limit);

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

  // For a process that ran before the walk; nullopt where a group it was
  // not read from may hold it.
  std::optional<std::string> PathOf(std::uint32_t pid) const;

 private:
  std::optional<CgroupMembers> unified_;
  std::optional<CgroupMembers> named_systemd_;
};

}  // namespace proclens::linux_port
