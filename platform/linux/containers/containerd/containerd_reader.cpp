#include "platform/linux/containers/containerd/containerd_reader.h"

#include "platform/linux/containers/state_json.h"

namespace proclens::linux_port {
namespace {

// A bundle's config.json is tens of KiB; long argument lists or many mounts add some.
constexpr std::size_t kBundleLimit = 4u << 20;
constexpr std::size_t kNamespaceLimit = 64;
// The shim v2 task folder, and the v1 runtime's before it.
constexpr const char* kTaskFolders[] = {"io.containerd.runtime.v2.task", "io.containerd.runtime.v1.linux"};

StateAnswer FromAnnotations(const ContainerRef& ref, const nlohmann::json& config) {
  StateAnswer answer = UnknownContainer(ref);
  answer.kind = StateAnswer::Kind::kKnown;
  const nlohmann::json* annotations = Field(config, "annotations");
  if (annotations == nullptr) return answer;
  answer.info.name = StringField(*annotations, "io.kubernetes.cri.container-name");
  answer.info.image = StringField(*annotations, "io.kubernetes.cri.image-name");
  const std::string pod = StringField(*annotations, "io.kubernetes.cri.sandbox-name");
  const std::string pod_namespace = StringField(*annotations, "io.kubernetes.cri.sandbox-namespace");
  if (!pod.empty()) answer.info.pod = pod_namespace.empty() ? pod : pod_namespace + "/" + pod;
  return answer;
}

}  // namespace

StateAnswer ContainerdReader::Read(const ContainerRef& ref) {
  if (!IsContainerId(ref.id)) return UnknownContainer(ref);
  for (const std::string tasks : kTaskFolders) {
    for (const std::string& name_space : folder_.FolderNames(tasks, kNamespaceLimit)) {
      const auto text = folder_.ReadFile(tasks + "/" + name_space + "/" + ref.id + "/config.json", kBundleLimit);
      if (!text) continue;
      const auto config = ParseStateObject(*text);
      return config ? FromAnnotations(ref, *config) : UnknownContainer(ref);
    }
  }
  return UnknownContainer(ref);
}

}  // namespace proclens::linux_port
