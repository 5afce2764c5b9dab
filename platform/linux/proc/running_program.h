#pragma once
// What a check of a running program reads: the image the process runs.
// /proc/PID/exe opens that image even when the path the kernel reports for it
// names another file now (one put in its place after the start, or another
// file in the process's own mount namespace) or no file at all.

#include <cstdint>
#include <string>

#include "platform/linux/base/unique_fd.h"
#include "platform/linux/proc/process_root.h"

namespace proclens::linux_port {

struct RunningProgram {
  UniqueFd image;               // the running image, when it could be opened
  // The image's path with every link resolved, as it was when its names were
  // found to lead to that very image; what the image's sources are asked by.
  std::string real_path;
  // Whether only root or this program's user can change what real_path (and
  // the path the process was listed by) names.
  bool kept = false;
  const char* state = nullptr;  // deleted, in-memory, replaced or unreadable: nothing left to read
  std::string memory_name;      // with in-memory, the name the program gave its memory file
  ProcessRoot root;             // the process's own root, where it has one
  std::string reason;           // with unreadable, the system's word for why
};

// path is the process's program as the catalogue resolved it; proc_root is
// where the process directories are, ending in '/'.
RunningProgram OpenRunningProgram(std::uint32_t pid, const std::string& path, const std::string& proc_root);

}  // namespace proclens::linux_port
