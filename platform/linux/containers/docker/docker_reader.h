#pragma once
// Docker's containers, from the daemon's own record of each
// (containers/ID/config.v2.json below its data root, /var/lib/docker unless
// dockerd was given --data-root): the name, without the slash Docker puts
// before it, and the image as it was asked for (Config.Image), else the
// image's ID. These files tell everything asked here, so the daemon's socket
// is never asked.

#include "platform/linux/containers/container_reader.h"
#include "platform/linux/containers/state_folder.h"

namespace proclens::linux_port {

inline constexpr const char* kDockerDataRoot = "/var/lib/docker";

class DockerReader : public ContainerStateReader {
 public:
  explicit DockerReader(std::string data_root) : folder_(std::move(data_root)) {}
  ContainerRuntime runtime() const override { return ContainerRuntime::kDocker; }
  StateAnswer Read(const ContainerRef& ref) override;

 private:
  StateFolder folder_;
};

}  // namespace proclens::linux_port
