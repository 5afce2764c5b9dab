#include "platform/linux/linux_platform.h"

#include "platform/linux/origins/apk/apk_origin.h"
#include "platform/linux/origins/appimage/appimage_origin.h"
#include "platform/linux/origins/dpkg/dpkg_origin.h"
#include "platform/linux/origins/flatpak/flatpak_origin.h"
#include "platform/linux/origins/rpm/rpm_origin.h"
#include "platform/linux/origins/snap/snap_origin.h"
#include "platform/linux/containers/containerd/containerd_reader.h"
#include "platform/linux/containers/crio/crio_reader.h"
#include "platform/linux/containers/docker/docker_reader.h"
#include "platform/linux/containers/lxc/lxc_reader.h"
#include "platform/linux/containers/nspawn/nspawn_reader.h"
#include "platform/linux/containers/podman/podman_reader.h"

namespace proclens::linux_port {

ProgramOrigins SystemOrigins() {
  std::vector<std::unique_ptr<ProgramOrigin>> sources;
  sources.push_back(std::make_unique<FlatpakOrigin>(FlatpakOrigin::DefaultInstallations()));
  sources.push_back(std::make_unique<SnapOrigin>());
  sources.push_back(std::make_unique<AppImageOrigin>());
  sources.push_back(std::make_unique<DpkgOrigin>("/"));
  sources.push_back(std::make_unique<RpmOrigin>("/"));
  // A container's own root holds its image's package database: dpkg's
  // (Debian and distroless images), RPM's, or Alpine's apk.
  const auto for_root = [](const std::string& root) {
    std::vector<std::unique_ptr<ProgramOrigin>> own;
    own.push_back(std::make_unique<DpkgOrigin>(root));
    own.push_back(std::make_unique<ApkOrigin>(root));
    own.push_back(std::make_unique<RpmOrigin>(root));
    return own;
  };
  return ProgramOrigins(std::move(sources), for_root);
}

std::vector<std::unique_ptr<ContainerStateReader>> SystemContainerReaders() {
  std::vector<std::unique_ptr<ContainerStateReader>> readers;
  readers.push_back(std::make_unique<DockerReader>("/var/lib/docker"));
  readers.push_back(std::make_unique<PodmanReader>("/var/lib/containers/storage"));
  readers.push_back(std::make_unique<ContainerdReader>("/run/containerd/io.containerd.runtime.v2.task"));
  readers.push_back(std::make_unique<CrioReader>("/var/lib/containers/storage"));
  readers.push_back(std::make_unique<LxcReader>("/var/lib/lxc"));
  readers.push_back(std::make_unique<NspawnReader>("/run/systemd/machines"));
  return readers;
}

LinuxServices::LinuxServices(ResourceOps& templates) : origins(SystemOrigins()), resources(templates) {
  snapshots.KeepRecordsIn(records);
}

}  // namespace proclens::linux_port
