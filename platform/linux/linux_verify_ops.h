#pragma once
// Is a program's file the one that installed it? The source that installed
// it (platform/linux/origins) holds it to what it recorded. A process is
// checked by the image it runs, never by whatever its path names now.

#include <cstdint>
#include <string>
#include <utility>

#include "platform/linux/origins/program_origins.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {

class LinuxVerifyOps : public VerifyOps {
 public:
  // proc_root is where the process directories are, ending in '/'.
  explicit LinuxVerifyOps(ProgramOrigins& origins, std::string proc_root = "/proc/")
      : origins_(origins), proc_root_(std::move(proc_root)) {}

  FileCheck CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) override;

 private:
  ProgramOrigins& origins_;
  std::string proc_root_;
};

}  // namespace proclens::linux_port
