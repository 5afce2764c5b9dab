#pragma once
// The process snapshot from /proc: one entry per program (thread-group leader),
// kernel threads left out, taken at once when the snapshot is created.

#include <memory>
#include <vector>

#include "platform/linux/proc/process_records.h"
#include "platform/snapshot_ops.h"

namespace proclens::linux_port {

class LinuxSnapshotOps : public SnapshotOps {
 public:
  LinuxSnapshotOps() = default;
  // Only for tests: a directory laid out like /proc.
  explicit LinuxSnapshotOps(const char* proc_root) : proc_root_(proc_root) {}

  // nullptr when /proc cannot be read.
  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override;

  // From now on each snapshot also keeps every process's record there, for
  // the facts that follow it; that costs reading stat in place of comm.
  void KeepRecordsIn(ProcessRecords& records) { records_ = &records; }

 private:
  std::vector<SnapshotEntry> ReadRecorded(int proc_fd, const std::vector<std::uint32_t>& pids);

  const char* proc_root_ = "/proc";
  ProcessRecords* records_ = nullptr;
};

}  // namespace proclens::linux_port
