#pragma once
// The Linux operations of the process catalogue, owned together and handed
// out as one CataloguePlatform.

#include "catalogue/process_list_fill.h"
#include "platform/linux/linux_file_ops.h"
#include "platform/linux/linux_process_ops.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/proc_snapshot.h"

namespace proclens::linux_port {

struct LinuxPlatform {
  ProcSnapshotOps snapshots;
  LinuxProcessOps processes;
  LinuxFileOps files;
  LinuxSystemInfo system;

  // Valid while this object lives; a new LinuxPlatform reads the icons afresh.
  CataloguePlatform Catalogue() { return CataloguePlatform{snapshots, processes, files, system}; }
};

}  // namespace proclens::linux_port
