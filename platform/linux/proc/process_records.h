#pragma once
// The records the snapshot read beside its entries, kept for the facts of the
// list fill that follows it: the parent, start time and user of each process
// then cost no second reading of its stat. A record answers for its process
// once; any later question reads /proc afresh, since by then the identifier
// may name another process.

#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/proc/proc_entry.h"

namespace proclens::linux_port {

class ProcessRecords {
 public:
  // The records of a new snapshot, in place of the last one's.
  void Replace(std::vector<std::pair<std::uint32_t, ProcessRecord>> records);

  // The record of a process asked about for the first time since the
  // snapshot; nullopt otherwise, and then every record is dropped, since the
  // fill they were read for is over.
  std::optional<ProcessRecord> TakeOwn(std::uint32_t pid);
  // The record of a process as a parent of another, asked any number of times
  // while the records hold.
  std::optional<ProcessRecord> Parent(std::uint32_t pid) const;

 private:
  struct Kept {
    std::uint32_t pid;
    ProcessRecord record;
    bool answered = false;
  };

  mutable std::mutex mutex_;
  std::vector<Kept> kept_;
};

}  // namespace proclens::linux_port
