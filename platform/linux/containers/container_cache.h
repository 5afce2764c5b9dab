#pragma once
// Which container a process runs in, with what its runtime's files say of it,
// read once per container: the hundred processes of one container cost one
// look at its runtime's state files for the whole run.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/linux/containers/container_reader.h"

namespace proclens::linux_port {

class ContainerCache {
 public:
  // The readers of the runtimes to ask, at most one per runtime; a container
  // of a runtime without a reader is known by its ID alone.
  explicit ContainerCache(std::vector<std::unique_ptr<ContainerStateReader>> readers);

  // The container of a process in this cgroup path; nullopt when the path
  // names none or the runtime's record says it is none.
  std::optional<ContainerInfo> ContainerOf(std::string_view cgroup_path);

 private:
  std::optional<ContainerInfo> Look(const ContainerRef& ref);

  std::vector<std::unique_ptr<ContainerStateReader>> readers_;
  std::mutex lock_;
  std::map<ContainerRef, std::optional<ContainerInfo>> known_;
};

}  // namespace proclens::linux_port
