#include "platform/win32/win32_process_parent.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace proclens::win32 {
namespace {

std::optional<std::uint64_t> CreationTime(std::uint32_t pid) {
  KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  FILETIME created = {}, exited = {}, kernel = {}, user = {};
  if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) {
    return std::nullopt;
  }
  return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

// Creation times of equal value are one clock tick: the parent may well have
// started its child within it.
bool CreatedAfter(const ProcessTreeEntry& parent, const ProcessTreeEntry& child) {
  return parent.created && child.created && *parent.created > *child.created;
}

}  // namespace

std::vector<ProcessTreeEntry> ReadProcessTree() {
  std::vector<ProcessTreeEntry> entries;
  KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return entries;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    entries.push_back({entry.th32ProcessID, entry.th32ParentProcessID,
                       NarrowFromWide(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH)),
                       CreationTime(entry.th32ProcessID)});
  }
  return entries;
}

std::map<std::uint32_t, ParentProcess> ParentsOf(const std::vector<ProcessTreeEntry>& entries) {
  std::map<std::uint32_t, const ProcessTreeEntry*> by_pid;
  for (const ProcessTreeEntry& entry : entries) by_pid.emplace(entry.pid, &entry);
  std::map<std::uint32_t, ParentProcess> parents;
  for (const ProcessTreeEntry& child : entries) {
    if (child.parent_pid == 0 || child.parent_pid == child.pid) continue;
    const auto found = by_pid.find(child.parent_pid);
    ParentProcess parent{child.parent_pid, true, {}};
    if (found != by_pid.end() && !CreatedAfter(*found->second, child)) {
      parent.ended = false;
      parent.exe_file = found->second->exe_file;
    }
    parents.emplace(child.pid, parent);
  }
  return parents;
}

}  // namespace proclens::win32
