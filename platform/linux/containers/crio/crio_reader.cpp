#include "platform/linux/containers/crio/crio_reader.h"

#include "platform/linux/containers/state_json.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kConfigLimit = 4u << 20;
constexpr const char* kDrivers[] = {"overlay", "vfs", "btrfs", "zfs", "aufs", "devmapper"};

// The first of keys that the annotations hold.
std::string FirstAnnotation(const nlohmann::json& annotations, std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    std::string value = StringField(annotations, key);
    if (!value.empty()) return value;
  }
  return {};
}

}  // namespace

StateAnswer CrioReader::Read(const ContainerRef& ref) {
  if (!IsContainerId(ref.id)) return UnknownContainer(ref);
  for (const std::string driver : kDrivers) {
    const auto text = folder_.ReadFile(driver + "-containers/" + ref.id + "/userdata/config.json", kConfigLimit);
    if (!text) continue;
    const auto config = ParseStateObject(*text);
    if (!config) return UnknownContainer(ref);
    StateAnswer answer = UnknownContainer(ref);
    answer.kind = StateAnswer::Kind::kKnown;
    const nlohmann::json* annotations = Field(*config, "annotations");
    if (annotations == nullptr) return answer;
    answer.info.name =
        FirstAnnotation(*annotations, {"io.kubernetes.container.name", "io.kubernetes.cri-o.ContainerName"});
    answer.info.image = FirstAnnotation(*annotations, {"io.kubernetes.cri-o.Image", "io.kubernetes.cri-o.ImageName"});
    const std::string pod = StringField(*annotations, "io.kubernetes.pod.name");
    const std::string pod_namespace = StringField(*annotations, "io.kubernetes.pod.namespace");
    if (!pod.empty()) answer.info.pod = pod_namespace.empty() ? pod : pod_namespace + "/" + pod;
    return answer;
  }
  return UnknownContainer(ref);
}

}  // namespace proclens::linux_port
