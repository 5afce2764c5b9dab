#pragma once
// Where a process sits in the control-group tree, as /proc/PID/cgroup says:
// the path that both the service manager (a unit's cgroup) and the container
// runtimes (a container's scope) name their processes by.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace proclens::linux_port {

// The path of the unified hierarchy ("0::PATH"), else that of cgroup v1's
// named systemd hierarchy ("N:name=systemd:PATH"); nullopt when the text has
// neither with an absolute path. On a hybrid system both name the same units.
std::optional<std::string> ProcessCgroupPath(std::string_view cgroup_text);

// The same choice between the two hierarchies' paths of one process.
std::optional<std::string_view> ChosenCgroupPath(std::optional<std::string_view> unified,
                                                 std::optional<std::string_view> named_systemd);

// The path's folder names, outermost first ("/a/b.service" gives a, b.service).
std::vector<std::string_view> CgroupPathNames(std::string_view path);

}  // namespace proclens::linux_port
