#include "platform/linux/proc/process_records.h"

namespace proclens::linux_port {

void ProcessRecords::Replace(std::map<std::uint32_t, ProcessRecord> records) {
  const std::lock_guard lock(mutex_);
  kept_.clear();
  for (const auto& [pid, record] : records) kept_.emplace(pid, Kept{record});
}

std::optional<ProcessRecord> ProcessRecords::TakeOwn(std::uint32_t pid) {
  const std::lock_guard lock(mutex_);
  const auto found = kept_.find(pid);
  if (found == kept_.end() || found->second.answered) {
    kept_.clear();
    return std::nullopt;
  }
  found->second.answered = true;
  return found->second.record;
}

std::optional<ProcessRecord> ProcessRecords::Parent(std::uint32_t pid) const {
  const std::lock_guard lock(mutex_);
  const auto found = kept_.find(pid);
  if (found == kept_.end()) return std::nullopt;
  return found->second.record;
}

}  // namespace proclens::linux_port
