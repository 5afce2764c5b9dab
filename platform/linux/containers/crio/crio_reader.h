#pragma once
// CRI-O's containers, from the OCI runtime config it saves in each container's folder of
// containers/storage (DRIVER-containers/ID/userdata/config.json below the
// storage root, /var/lib/containers/storage; server/container_create*.go):
// the annotations name the container and its pod as Kubernetes does
// (io.kubernetes.container.name, io.kubernetes.pod.name and .namespace, with
// CRI-O's io.kubernetes.cri-o.ContainerName in their absence) and the image
// (io.kubernetes.cri-o.Image as it was asked for, else the ImageName CRI-O
// found for it; pkg/annotations/internal.go).

#include "platform/linux/containers/container_reader.h"
#include "platform/linux/containers/state_folder.h"

namespace proclens::linux_port {

inline constexpr const char* kCrioStorageRoot = "/var/lib/containers/storage";

class CrioReader : public ContainerStateReader {
 public:
  explicit CrioReader(std::string storage_root) : folder_(std::move(storage_root)) {}
  ContainerRuntime runtime() const override { return ContainerRuntime::kCrio; }
  StateAnswer Read(const ContainerRef& ref) override;

 private:
  StateFolder folder_;
};

}  // namespace proclens::linux_port
