#pragma once
// The program's RCDATA resources: FindResourceA, LoadResource, SizeofResource
// and LockResource on the program's own module.

#include <optional>
#include <string>

#include "platform/resource_ops.h"
#include "platform/win32/win32_api.h"

namespace proclens::win32 {

class Win32ResourceOps : public ResourceOps {
 public:
  // The running program's resources, or those of a module loaded as data.
  explicit Win32ResourceOps(HMODULE module = nullptr) : module_(module) {}
  std::optional<std::string> LoadRcData(const std::string& name) override;

 private:
  HMODULE module_;
};

}  // namespace proclens::win32
