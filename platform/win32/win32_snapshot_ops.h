#pragma once
// The Toolhelp process snapshot, bound by name at its first use so that a
// system without it gives no snapshot instead of a program that cannot start.

#include "platform/snapshot_ops.h"

namespace proclens::win32 {

class Win32SnapshotOps : public SnapshotOps {
 public:
  // The module that offers the three snapshot services; another name serves
  // the tests of a system that lacks them.
  explicit Win32SnapshotOps(const char* module_name = "kernel32.dll");
  ~Win32SnapshotOps() override;

  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override;

  struct Services;

 private:
  const Services& Bound();

  const char* module_name_;
  bool bound_ = false;
  std::unique_ptr<Services> services_;
};

}  // namespace proclens::win32
