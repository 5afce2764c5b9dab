#pragma once
// A version block made from what installed a program (its package, sandbox
// or image): the three texts a version resource would give, in the user's
// language where the source has them.

#include "platform/linux/origins/program_origins.h"
#include "platform/linux/versions/version_block_source.h"
#include "platform/system_info.h"

namespace proclens::linux_port {

class PackageBlocks : public VersionBlockSource {
 public:
  PackageBlocks(SystemInfo& system, ProgramOrigins& origins) : system_(system), origins_(origins) {}

  std::vector<std::uint8_t> BlockOf(const std::string& path, std::uint32_t pid) override;

 private:
  SystemInfo& system_;
  ProgramOrigins& origins_;
};

}  // namespace proclens::linux_port
