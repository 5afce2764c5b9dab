#pragma once
// Which systemd unit a process runs in, from its cgroup path: what
// `systemctl status PID` names (or `systemctl --user status PID` below a
// user's manager). The path is read the way systemd reads it: slices are
// skipped, the first unit below them holds the process, and whatever lies
// below that unit is the unit's own business (a delegated subtree) - except
// below user@UID.service, where the user's manager keeps units of its own.
//
// Pure functions of the path's bytes, but for UnitOfProcess: callable from
// any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

enum class UnitManager { kSystem, kUser };

struct CgroupUnit {
  enum class Kind {
    kUnit,            // a service, scope, socket, mount or swap unit
    kContainerScope,  // a container runtime's cgroup: no unit to name or describe
  };
  Kind kind = Kind::kUnit;
  // kUnit: the unit's name as systemd shows it (cgroup escaping undone, the
  // name's own "\x2d"-style escapes kept; see unit_name.h). kContainerScope:
  // the cgroup folder's name (docker-ID.scope, lxc.payload.NAME), for the
  // container readers, never to be shown as a unit.
  std::string name;
  UnitManager manager = UnitManager::kSystem;
  std::uint32_t uid = 0;  // the user whose manager it is, for kUser

  bool operator==(const CgroupUnit&) const = default;
};

// The unit whose cgroup holds a process with this cgroup path; nullopt where
// no unit does ("/", a bare slice, a tree no systemd made).
std::optional<CgroupUnit> UnitFromCgroupPath(std::string_view path);

// A container runtime's scope or payload folder: docker-ID.scope,
// libpod-ID.scope, cri-containerd-ID.scope, crio-ID.scope (ID: 64 hex digits,
// which leaves out the runtimes' own conmon scopes), machine-NAME.scope,
// lxc.payload.NAME.
bool IsContainerCgroup(std::string_view folder);

// The same from the bytes of /proc/PID/cgroup (cgroup v2's "0::" line, else
// cgroup v1's named systemd hierarchy).
std::optional<CgroupUnit> UnitFromCgroupFile(std::string_view cgroup_text);

// The same for a running process, from /proc/PID/cgroup under proc_fd (an
// open /proc); nullopt also when the process is gone.
std::optional<CgroupUnit> UnitOfProcess(int proc_fd, std::uint32_t pid);

}  // namespace proclens::linux_port
