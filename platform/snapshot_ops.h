#pragma once
// The process snapshot: one pass over the processes running at the moment it was taken.

#include <cstdint>
#include <memory>
#include <string>

namespace proclens {

struct SnapshotEntry {
  std::uint32_t pid = 0;
  std::string exe_file;  // the executable's file name as the snapshot reports it
};

class ProcessSnapshot {
 public:
  virtual ~ProcessSnapshot() = default;  // closes the snapshot handle
  // Process32First on the first call, Process32Next after it; false when no entry came.
  virtual bool Next(SnapshotEntry& entry) = 0;
};

class SnapshotOps {
 public:
  virtual ~SnapshotOps() = default;
  // CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0); nullptr when no handle came back.
  virtual std::unique_ptr<ProcessSnapshot> CreateSnapshot() = 0;
};

}  // namespace proclens
