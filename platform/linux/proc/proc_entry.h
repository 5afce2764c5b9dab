#pragma once
// One process as /proc describes it: whether it is a program at all, and the
// name that ps and psutil would show for it.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/snapshot_ops.h"

namespace proclens::linux_port {

// The kernel's PF_KTHREAD task flag: kernel threads run no executable.
inline constexpr std::uint64_t kKernelThreadFlag = 0x00200000;
// comm holds at most 15 characters; longer names are cut there.
inline constexpr std::size_t kCommLimit = 15;

struct StatFields {
  std::string comm;
  std::uint64_t flags = 0;
  std::uint32_t parent_pid = 0;
  std::uint64_t start_time = 0;  // clock ticks after boot
};

// The name, the task flags, the parent and the start time from the text of
// /proc/PID/stat. The name may hold blanks and parentheses, so it runs to the
// last ')'.
std::optional<StatFields> ParseStatLine(std::string_view stat);

// comm, completed from argv[0] (the first NUL-terminated word of /proc/PID/cmdline)
// when the kernel cut it and argv[0]'s base name continues it.
std::string CompleteCommName(const std::string& comm, std::string_view cmdline);

// The snapshot entry of the process under /proc (proc_fd is an open /proc);
// nullopt for kernel threads and for processes that are gone.
std::optional<SnapshotEntry> ReadProcessEntry(int proc_fd, std::uint32_t pid);

// The same for a process known not to be a kernel thread: its name comes from
// comm, which costs the kernel a fraction of what stat does.
std::optional<SnapshotEntry> ReadUserProcessEntry(int proc_fd, std::uint32_t pid);

// The only processes that may be kernel threads: kthreadd (pid 2) and its
// children, since every kernel thread is started by kthreadd. An empty set
// when pid 2 is not kthreadd (a pid namespace shows no kernel threads);
// nullopt when the children cannot be listed, so that every process has to be
// told apart by its stat flags.
std::optional<std::set<std::uint32_t>> KernelThreadCandidates(int proc_fd);

// The stat fields of a process under /proc (proc_fd is an open /proc);
// nullopt when it is gone.
std::optional<StatFields> ReadStatFields(int proc_fd, std::uint32_t pid);

// What the list needs of a process beyond its entry, read in the same pass.
struct ProcessRecord {
  std::uint32_t parent_pid = 0;
  std::uint64_t start_time = 0;
  std::uint32_t uid = 0;  // the owner of its /proc folder: its effective user
  std::string name;       // as its snapshot entry names it
};

// ReadProcessEntry that also keeps the process's record: its stat, and the
// owner of its folder.
std::optional<std::pair<SnapshotEntry, ProcessRecord>> ReadRecordedEntry(int proc_fd, std::uint32_t pid);

}  // namespace proclens::linux_port
