#pragma once
// Which container a process runs in, as its control-group path names it: each
// runtime puts a container's processes in a group of its own, named after the
// container's ID (or, for LXC and systemd-nspawn, its name).

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

enum class ContainerRuntime { kDocker, kPodman, kContainerd, kCrio, kLxc, kNspawn };

// The runtime's own name for itself ("docker", "podman", "containerd",
// "cri-o", "lxc", "nspawn": systemd-nspawn goes by its short name).
std::string_view RuntimeName(ContainerRuntime runtime);

struct ContainerRef {
  ContainerRuntime runtime = ContainerRuntime::kDocker;
  std::string id;  // 64 lower-case hex digits; LXC's and nspawn's machine name
  auto operator<=>(const ContainerRef&) const = default;
};

// The container that a process of this cgroup path (as ProcessCgroupPath
// gives it) runs in; nullopt when the path names none. Where containers nest,
// the innermost one: that is the root the process sees. The runtimes' own
// helpers (conmon, LXC's monitor, nspawn's supervisor) run on the host and
// name no container.
std::optional<ContainerRef> ContainerOfCgroup(std::string_view cgroup_path);

// Whether text is a container ID: 64 lower-case hex digits, as the runtimes
// write them.
bool IsContainerId(std::string_view text);

}  // namespace proclens::linux_port
