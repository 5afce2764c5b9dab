#pragma once
// A file checked by its Authenticode signature: the one embedded in it, else
// a system catalog that lists the file's hash. Revocation is not checked, so
// the check never waits on the network.

#include "platform/verify_ops.h"

namespace proclens::win32 {

class Win32VerifyOps : public VerifyOps {
 public:
  // The process changes nothing here: Windows keeps a running program's
  // file in place, so it is checked like any other file.
  FileCheck CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) override;
};

}  // namespace proclens::win32
