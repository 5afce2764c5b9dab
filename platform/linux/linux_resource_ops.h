#pragma once
// The program's RCDATA resources on Linux: the files under res/RCDATA/ of the
// GResource bundle linked into the program, found by name without regard to
// case or extension, as the res:// scheme finds the pictures.

#include <optional>
#include <string>

#include "platform/resource_index.h"
#include "platform/resource_ops.h"

namespace proclens::linux_port {

// Where the bundle keeps the program's named resources.
inline constexpr char kBundleResourceRoot[] = "/proclens/res/";

class LinuxResourceOps : public ResourceOps {
 public:
  std::optional<std::string> LoadRcData(const std::string& name) override;

 private:
  const ResourceIndex& Index();

  std::optional<ResourceIndex> index_;  // read from the bundle at the first look-up
};

}  // namespace proclens::linux_port
