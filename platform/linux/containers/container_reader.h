#pragma once
// What a runtime's own state files say of one of its containers. One reader
// per runtime, each in a folder of its own and none knowing another; each
// takes the runtime's state folder, so that tests hand it a tree of their own.
// No reader starts a runtime's command: the files are input like any other
// (see state_folder.h), and whoever can write them is whose word they are.

#include <optional>
#include <string>

#include "platform/linux/containers/container_ref.h"

namespace proclens::linux_port {

struct ContainerInfo {
  ContainerRuntime runtime = ContainerRuntime::kDocker;
  std::string id;     // as the cgroup path names it
  std::string name;   // the runtime's name for it; empty when its files do not say
  std::string image;  // the image it was created from, as it was asked for; empty when unknown
  std::string pod;    // "namespace/pod" for a Kubernetes container; empty otherwise

  bool operator==(const ContainerInfo&) const = default;
};

struct StateAnswer {
  enum class Kind {
    kKnown,        // info holds what the files say
    kUnknown,      // no readable, well-formed record: the container is known by its ID alone
    kNoContainer,  // the runtime's record says it is none (a virtual machine that machined lists)
  };
  Kind kind = Kind::kUnknown;
  ContainerInfo info;
};

class ContainerStateReader {
 public:
  virtual ~ContainerStateReader() = default;
  virtual ContainerRuntime runtime() const = 0;
  // What the files say of the container; ref.runtime is this reader's.
  virtual StateAnswer Read(const ContainerRef& ref) = 0;
};

// The answer when the files know nothing of ref.
inline StateAnswer UnknownContainer(const ContainerRef& ref) {
  return {StateAnswer::Kind::kUnknown, ContainerInfo{ref.runtime, ref.id, {}, {}, {}}};
}

}  // namespace proclens::linux_port
