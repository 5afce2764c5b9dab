#pragma once
// Why a Linux process runs and where: the container its cgroup names (with
// what its runtime's own files say of it), else the systemd unit whose
// cgroup holds it, its parent and its user, from /proc.

#include <map>
#include <mutex>
#include <tuple>

#include "platform/linux/base/unique_fd.h"
#include "platform/linux/containers/container_cache.h"
#include "platform/linux/proc/cgroup_members.h"
#include "platform/linux/proc/mount_info.h"
#include "platform/linux/proc/process_records.h"
#include "platform/linux/units/unit_descriptions.h"
#include "platform/process_facts_ops.h"

namespace proclens::linux_port {

class LinuxProcessFactsOps : public ProcessFactsOps {
 public:
  // proc_root: where the process folders are, ending in '/'. records: what
  // the snapshot before a fill kept of each process, or nullptr to read all.
  LinuxProcessFactsOps(ContainerCache& containers, UnitDescriptions& units, std::string proc_root = "/proc/",
                       ProcessRecords* records = nullptr);

  void Refresh() override;
  ProcessFacts FactsOf(std::uint32_t pid) override;
  // The unit's description from systemd (within its time-out) or its files.
  void Describe(ProcessFacts& facts) override;
  // Asks systemd once about every unit seen so far (off the window's
  // thread): later fills and pages then have their descriptions at hand.
  void DescribeSeenUnits();

 private:
  std::optional<ParentFacts> ParentOf(std::uint32_t parent_pid, std::uint64_t child_start);
  // The record, and whether it is the one the fill's snapshot kept.
  std::optional<std::pair<ProcessRecord, bool>> RecordOf(std::uint32_t pid);
  std::optional<std::string> CgroupPathOf(std::uint32_t pid, bool in_fill);

  ContainerCache& containers_;
  UnitDescriptions& units_;
  std::string proc_root_;
  ProcessRecords* records_;
  // This process's mounts, where the control-group hierarchies are walked.
  MountTable mounts_;
  UniqueFd proc_dir_;
  std::mutex mutex_;
  // The units seen by FactsOf, to be described by name.
  std::map<std::pair<std::string, bool>, CgroupUnit> units_seen_;
  // Every process's control group, walked once for the fill.
  std::optional<CgroupPaths> cgroup_paths_;
  // Parents looked up in this fill, by their identifier.
  std::map<std::uint32_t, std::pair<std::uint64_t, std::string>> parents_;
};

}  // namespace proclens::linux_port
