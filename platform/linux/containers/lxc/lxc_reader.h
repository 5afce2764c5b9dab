#pragma once
// LXC's containers, from each container's configuration in the LXC path
// (/var/lib/lxc/NAME/config): a container is known when that file is there,
// and the image is the template it was created with, as lxc-create writes it
// at the head of the file ("# Template used to create this container: ..."
// and "# Parameters passed to the template: ..."; src/lxc/lxccontainer.c).
// Where a cgroup of the name was left behind, LXC names the new one NAME-1,
// NAME-2 (CGROUP_CREATE_RETRY in src/lxc/cgroups/cgroup.h): a name with such an
// ending and no folder of its own is looked for without it.

#include "platform/linux/containers/container_reader.h"
#include "platform/linux/containers/state_folder.h"

namespace proclens::linux_port {

inline constexpr const char* kLxcPath = "/var/lib/lxc";

class LxcReader : public ContainerStateReader {
 public:
  explicit LxcReader(std::string lxc_path) : folder_(std::move(lxc_path)) {}
  ContainerRuntime runtime() const override { return ContainerRuntime::kLxc; }
  StateAnswer Read(const ContainerRef& ref) override;

 private:
  StateFolder folder_;
};

// The template line's program's file name and the parameters' line, joined
// ("lxc-download --dist alpine"); empty when the text has no template line.
std::string LxcTemplateOf(std::string_view config);

}  // namespace proclens::linux_port
