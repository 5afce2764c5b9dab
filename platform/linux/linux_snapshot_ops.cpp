#include "platform/linux/linux_snapshot_ops.h"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/linux/proc/proc_entry.h"
#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

class ListedSnapshot : public ProcessSnapshot {
 public:
  explicit ListedSnapshot(std::vector<SnapshotEntry> entries) : entries_(std::move(entries)) {}

  bool Next(SnapshotEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<SnapshotEntry> entries_;
  std::size_t next_ = 0;
};

std::optional<std::uint32_t> PidOf(const char* name) {
  std::uint32_t pid = 0;
  const char* end = name + std::strlen(name);
  const auto [rest, ec] = std::from_chars(name, end, pid);
  if (ec != std::errc() || rest != end) return std::nullopt;
  return pid;
}

// /proc lists thread-group leaders only; the threads live under task/.
std::vector<std::uint32_t> ListPids(int proc_fd) {
  std::vector<std::uint32_t> pids;
  const int dir_fd = ::fcntl(proc_fd, F_DUPFD_CLOEXEC, 0);
  if (dir_fd < 0) return pids;
  DIR* dir = ::fdopendir(dir_fd);
  if (dir == nullptr) {
    ::close(dir_fd);
    return pids;
  }
  while (const dirent* item = ::readdir(dir)) {
    if (const auto pid = PidOf(item->d_name)) pids.push_back(*pid);
  }
  ::closedir(dir);
  std::sort(pids.begin(), pids.end());
  return pids;
}

}  // namespace

std::unique_ptr<ProcessSnapshot> LinuxSnapshotOps::CreateSnapshot() {
  UniqueFd proc(::open(proc_root_, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!proc.valid()) return nullptr;
  std::vector<SnapshotEntry> entries;
  // A process that ends between the listing and the reading is simply not in
  // the snapshot; one that ends later shows up with an error text.
  const std::vector<std::uint32_t> pids = ListPids(proc.get());
  if (records_ != nullptr) return std::make_unique<ListedSnapshot>(ReadRecorded(proc.get(), pids));
  // Read after the listing, so that every kernel thread listed is among them.
  const auto kernel_candidates = KernelThreadCandidates(proc.get());
  for (const std::uint32_t pid : pids) {
    const bool may_be_kernel_thread = !kernel_candidates || kernel_candidates->count(pid) != 0;
    auto entry = may_be_kernel_thread ? ReadProcessEntry(proc.get(), pid)
                                      : ReadUserProcessEntry(proc.get(), pid);
    if (entry) entries.push_back(std::move(*entry));
  }
  return std::make_unique<ListedSnapshot>(std::move(entries));
}

std::vector<SnapshotEntry> LinuxSnapshotOps::ReadRecorded(int proc_fd, const std::vector<std::uint32_t>& pids) {
  std::vector<SnapshotEntry> entries;
  std::vector<std::pair<std::uint32_t, ProcessRecord>> records;
  records.reserve(pids.size());
  for (const std::uint32_t pid : pids) {
    auto read = ReadRecordedEntry(proc_fd, pid);
    if (!read) continue;
    entries.push_back(std::move(read->first));
    records.emplace_back(pid, std::move(read->second));
  }
  records_->Replace(std::move(records));
  return entries;
}

}  // namespace proclens::linux_port
