#include "platform/linux/proc/process_records.h"

#include <algorithm>

namespace proclens::linux_port {
namespace {

// The record of pid in records sorted by pid, or nullptr.
template <typename Records>
auto* FoundIn(Records& kept, std::uint32_t pid) {
  const auto found =
      std::lower_bound(kept.begin(), kept.end(), pid, [](const auto& one, std::uint32_t p) { return one.pid < p; });
  return found != kept.end() && found->pid == pid ? &*found : nullptr;
}

}  // namespace

void ProcessRecords::Replace(std::vector<std::pair<std::uint32_t, ProcessRecord>> records) {
  const std::lock_guard lock(mutex_);
  kept_.clear();
  kept_.reserve(records.size());
  for (auto& [pid, record] : records) kept_.push_back({pid, std::move(record)});
  std::sort(kept_.begin(), kept_.end(), [](const Kept& a, const Kept& b) { return a.pid < b.pid; });
}

std::optional<ProcessRecord> ProcessRecords::TakeOwn(std::uint32_t pid) {
  const std::lock_guard lock(mutex_);
  Kept* found = FoundIn(kept_, pid);
  if (found == nullptr || found->answered) {
    kept_.clear();
    return std::nullopt;
  }
  found->answered = true;
  return found->record;
}

std::optional<ProcessRecord> ProcessRecords::Parent(std::uint32_t pid) const {
  const std::lock_guard lock(mutex_);
  const Kept* found = FoundIn(kept_, pid);
  if (found == nullptr) return std::nullopt;
  return found->record;
}

}  // namespace proclens::linux_port
