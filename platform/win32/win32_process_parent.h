#pragma once
// Why a Windows process runs: the process that started it, from the Toolhelp
// snapshot's parent ids. Windows keeps a child's parent id after the parent
// has ended and gives ids out again, so the id names the parent only while a
// process of that id runs that was created before the child.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace proclens::win32 {

struct ProcessTreeEntry {
  std::uint32_t pid = 0;
  std::uint32_t parent_pid = 0;  // th32ParentProcessID
  std::string exe_file;          // the snapshot's file name, in the ANSI code page
  // GetProcessTimes' creation time as one 64-bit FILETIME value, where the
  // process could be opened.
  std::optional<std::uint64_t> created;
};

struct ParentProcess {
  std::uint32_t pid = 0;
  // No process of that id runs, or the one that does was created after the child.
  bool ended = false;
  std::string exe_file;  // the running parent's file name; empty once it has ended
};

// One snapshot's processes, each with its creation time where it can be read;
// empty when no snapshot can be taken.
std::vector<ProcessTreeEntry> ReadProcessTree();

// The parent of each process in entries, by the child's pid. A process that
// records no parent (id 0, as the idle and System processes do, or its own
// id) has no entry. Where either creation time is unknown, a running process
// of the parent's id counts as the parent.
std::map<std::uint32_t, ParentProcess> ParentsOf(const std::vector<ProcessTreeEntry>& entries);

}  // namespace proclens::win32
