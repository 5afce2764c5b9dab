#pragma once
// The program's own raw data resources (the page templates).

#include <optional>
#include <string>

namespace proclens {

class ResourceOps {
 public:
  virtual ~ResourceOps() = default;
  // FindResourceA, LoadResource, SizeofResource, LockResource: the bytes of
  // the program's RCDATA resource of that name (compared without regard to
  // case), all of them and unchanged, zero bytes included; nullopt when there
  // is no such resource or it cannot be loaded.
  virtual std::optional<std::string> LoadRcData(const std::string& name) = 0;
};

}  // namespace proclens
