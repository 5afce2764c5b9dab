#include "platform/linux/linux_process_facts_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/base/user_names.h"
#include "platform/linux/proc/cgroup_path.h"
#include "platform/linux/proc/mount_info.h"
#include "platform/linux/proc/proc_entry.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kCgroupLimit = 64u << 10;

}  // namespace

LinuxProcessFactsOps::LinuxProcessFactsOps(ContainerCache& containers, UnitDescriptions& units, std::string proc_root,
                                           ProcessRecords* records)
    : containers_(containers),
      units_(units),
      proc_root_(std::move(proc_root)),
      records_(records),
      mounts_(proc_root_ + "self/mountinfo") {}

void LinuxProcessFactsOps::Refresh() {
  const std::lock_guard lock(mutex_);
  // Identifiers are reused: a new fill asks about parents afresh.
  parents_.clear();
  cgroup_paths_.reset();
  // With the snapshot's records at hand, a walk of the groups saves reading
  // each process's cgroup file; without, each is read as it is asked.
  if (records_ == nullptr) return;
  const auto self_text = ReadProcText(proc_root_ + "self/cgroup", kCgroupLimit);
  if (self_text) cgroup_paths_ = CgroupPaths::Read(mounts_.Current(), *self_text, static_cast<std::uint32_t>(::getpid()));
}

std::optional<ParentFacts> LinuxProcessFactsOps::ParentOf(std::uint32_t parent_pid, std::uint64_t child_start) {
  // Process 0 stands for the kernel: init and kthreadd have no parent to name.
  if (parent_pid == 0) return std::nullopt;
  auto known = parents_.find(parent_pid);
  if (known == parents_.end()) {
    std::pair<std::uint64_t, std::string> parent{UINT64_MAX, ""};
    if (const auto record = records_ != nullptr ? records_->Parent(parent_pid) : std::nullopt) {
      parent = {record->start_time, record->name};
    } else if (const auto stat = ReadStatFields(proc_dir_.get(), parent_pid)) {
      const auto entry = ReadUserProcessEntry(proc_dir_.get(), parent_pid);
      parent = {stat->start_time, entry ? entry->exe_file : stat->comm};
    }
    known = parents_.emplace(parent_pid, std::move(parent)).first;
  }
  ParentFacts facts;
  facts.pid = parent_pid;
  // Gone, or a process that took its identifier after the child started.
  facts.ended = known->second.first == UINT64_MAX || known->second.first > child_start;
  if (!facts.ended) facts.name = known->second.second;
  return facts;
}

std::optional<std::pair<ProcessRecord, bool>> LinuxProcessFactsOps::RecordOf(std::uint32_t pid) {
  if (records_ != nullptr) {
    if (auto kept = records_->TakeOwn(pid)) return std::pair(std::move(*kept), true);
    // The fill is over: the parents and groups it met may have changed since.
    parents_.clear();
    cgroup_paths_.reset();
  }
  struct stat process {};
  const auto stat = ReadStatFields(proc_dir_.get(), pid);
  if (!stat || ::fstatat(proc_dir_.get(), std::to_string(pid).c_str(), &process, 0) != 0) return std::nullopt;
  return std::pair(ProcessRecord{stat->parent_pid, stat->start_time, process.st_uid, stat->comm}, false);
}

std::optional<std::string> LinuxProcessFactsOps::CgroupPathOf(std::uint32_t pid, bool in_fill) {
  if (in_fill && cgroup_paths_) {
    if (auto walked = cgroup_paths_->PathOf(pid)) return walked;
  }
  const auto text = ReadProcText(proc_root_ + std::to_string(pid) + "/cgroup", kCgroupLimit);
  return text ? ProcessCgroupPath(*text) : std::nullopt;
}

ProcessFacts LinuxProcessFactsOps::FactsOf(std::uint32_t pid) {
  const std::lock_guard lock(mutex_);
  ProcessFacts facts;
  if (!proc_dir_.valid()) proc_dir_ = UniqueFd(::open(proc_root_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  const auto record = RecordOf(pid);
  if (!record) return facts;
  facts.user = UserName(record->first.uid);
  facts.parent = ParentOf(record->first.parent_pid, record->first.start_time);
  const auto path = CgroupPathOf(pid, record->second);
  if (!path) return facts;
  if (const auto container = containers_.ContainerOf(*path)) {
    facts.container = ContainerFacts{std::string(RuntimeName(container->runtime)), container->id, container->name,
                                     container->image};
    return facts;
  }
  const auto unit = UnitFromCgroupPath(*path);
  if (!unit || unit->kind != CgroupUnit::Kind::kUnit) return facts;
  const bool user_manager = unit->manager == UnitManager::kUser;
  facts.unit = UnitFacts{unit->name, units_.Known(*unit).value_or(""), user_manager};
  units_seen_.emplace(std::pair(unit->name, user_manager), *unit);
  return facts;
}

void LinuxProcessFactsOps::Describe(ProcessFacts& facts) {
  if (!facts.unit || !facts.unit->description.empty()) return;
  std::optional<CgroupUnit> unit;
  {
    const std::lock_guard lock(mutex_);
    const auto seen = units_seen_.find({facts.unit->name, facts.unit->user_manager});
    if (seen != units_seen_.end()) unit = seen->second;
  }
  if (!unit) return;
  const std::vector<UnitDescription> described = units_.Describe({*unit});
  if (!described.empty()) facts.unit->description = described.front().text;
}

void LinuxProcessFactsOps::DescribeSeenUnits() {
  std::vector<CgroupUnit> seen;
  {
    const std::lock_guard lock(mutex_);
    for (const auto& [key, unit] : units_seen_) seen.push_back(unit);
  }
  if (!seen.empty()) units_.Describe(seen);
}

}  // namespace proclens::linux_port
