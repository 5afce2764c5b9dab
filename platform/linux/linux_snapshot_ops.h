#pragma once
// The process snapshot from /proc: one entry per program (thread-group leader),
// kernel threads left out, taken at once when the snapshot is created.

#include <memory>

#include "platform/snapshot_ops.h"

namespace proclens::linux_port {

class LinuxSnapshotOps : public SnapshotOps {
 public:
  LinuxSnapshotOps() = default;
  // Only for tests: a directory laid out like /proc.
  explicit LinuxSnapshotOps(const char* proc_root) : proc_root_(proc_root) {}

  // nullptr when /proc cannot be read.
  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override;

 private:
  const char* proc_root_ = "/proc";
};

}  // namespace proclens::linux_port
