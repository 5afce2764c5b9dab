#pragma once
// Podman's containers, from the containers/storage library's own lists below
// the storage root (/var/lib/containers/storage for root; a user's
// ~/.local/share/containers/storage for rootless Podman, which that user can
// write): DRIVER-containers/containers.json gives each container's names and
// the metadata Podman stores with it (the image name it was created from), and
// DRIVER-images/images.json the names of the image by its ID. The storage
// driver (overlay, vfs, ...) names the folders. These files tell everything
// asked here, so Podman's socket is never asked.

#include "platform/linux/containers/container_reader.h"
#include "platform/linux/containers/state_folder.h"

namespace proclens::linux_port {

inline constexpr const char* kPodmanStorageRoot = "/var/lib/containers/storage";

class PodmanReader : public ContainerStateReader {
 public:
  explicit PodmanReader(std::string storage_root) : folder_(std::move(storage_root)) {}
  ContainerRuntime runtime() const override { return ContainerRuntime::kPodman; }
  StateAnswer Read(const ContainerRef& ref) override;

 private:
  std::string ImageNames(const std::string& driver, const std::string& image_id) const;
  StateFolder folder_;
};

}  // namespace proclens::linux_port
