#pragma once
// containerd's containers as Kubernetes runs them through its CRI plugin, from
// the OCI bundle that containerd hands the runtime for each task
// (io.containerd.runtime.v2.task/NAMESPACE/ID/config.json below its state
// folder, /run/containerd): the CRI plugin writes the container's and its
// pod's names and the image name into the bundle's annotations
// (pkg/cri/annotations: io.kubernetes.cri.container-name, sandbox-name,
// sandbox-namespace, image-name). Kubernetes uses the namespace k8s.io; every
// namespace folder is looked in.

#include "platform/linux/containers/container_reader.h"
#include "platform/linux/containers/state_folder.h"

namespace proclens::linux_port {

inline constexpr const char* kContainerdState = "/run/containerd";

class ContainerdReader : public ContainerStateReader {
 public:
  explicit ContainerdReader(std::string state) : folder_(std::move(state)) {}
  ContainerRuntime runtime() const override { return ContainerRuntime::kContainerd; }
  StateAnswer Read(const ContainerRef& ref) override;

 private:
  StateFolder folder_;
};

}  // namespace proclens::linux_port
