#pragma once
// A process's own "/". A process in a container (or any other mount namespace
// with its own root) names its program by a path below that root, which on
// this side of the namespace is /proc/PID/root; the kernel writes the link's
// text as "/" from inside a pivot_root, so only the device and inode tell.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {

struct ProcessRoot {
  bool own = false;   // the process sees another "/" than this program does
  std::string path;   // where that root is here: proc_root + PID + "/root"; empty unless own
  std::uint64_t device = 0, inode = 0;  // of that root, which tell one root from another
};

// proc_root: where the process folders are, ending in '/'. A process that
// cannot be asked (ended, or another user's) counts as sharing this root.
ProcessRoot RootOfProcess(std::uint32_t pid, const std::string& proc_root = "/proc/");

// path as this program reaches it: below the process's root where it has its own.
inline std::string ThroughRoot(const ProcessRoot& root, const std::string& path) {
  return root.own ? root.path + path : path;
}

// Opens path below root without leaving it and without following any link
// (openat2's RESOLVE_IN_ROOT and RESOLVE_NO_SYMLINKS), as O_PATH; invalid
// when that does not reach a file.
UniqueFd OpenInRoot(const std::string& root, const std::string& path);

// Whether an exe link names a program that runs from memory: the kernel names
// an anonymous memory file "/memfd:NAME (deleted)".
bool IsMemoryFileLink(std::string_view exe_link);
// NAME of such a link.
std::string MemoryFileName(std::string_view exe_link);

}  // namespace proclens::linux_port
