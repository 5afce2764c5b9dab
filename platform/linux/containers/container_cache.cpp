#include "platform/linux/containers/container_cache.h"

namespace proclens::linux_port {

ContainerCache::ContainerCache(std::vector<std::unique_ptr<ContainerStateReader>> readers)
    : readers_(std::move(readers)) {}

std::optional<ContainerInfo> ContainerCache::Look(const ContainerRef& ref) {
  for (const auto& reader : readers_) {
    if (reader->runtime() != ref.runtime) continue;
    StateAnswer answer = reader->Read(ref);
    if (answer.kind == StateAnswer::Kind::kNoContainer) return std::nullopt;
    // The ID is the cgroup's, whatever a record claims.
    answer.info.runtime = ref.runtime;
    answer.info.id = ref.id;
    return answer.info;
  }
  return UnknownContainer(ref).info;
}

std::optional<ContainerInfo> ContainerCache::ContainerOf(std::string_view cgroup_path) {
  const auto ref = ContainerOfCgroup(cgroup_path);
  if (!ref) return std::nullopt;
  std::lock_guard<std::mutex> hold(lock_);
  const auto known = known_.find(*ref);
  if (known != known_.end()) return known->second;
  return known_.emplace(*ref, Look(*ref)).first->second;
}

}  // namespace proclens::linux_port
