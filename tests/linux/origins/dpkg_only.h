#pragma once
// The program sources of a test: dpkg alone, over a database tree the test made.

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/origins/dpkg/dpkg_origin.h"
#include "platform/linux/origins/program_origins.h"

namespace proclens::linux_port {

inline ProgramOrigins DpkgOnly(const std::string& root) {
  std::vector<std::unique_ptr<ProgramOrigin>> sources;
  sources.push_back(std::make_unique<DpkgOrigin>(root));
  return ProgramOrigins(std::move(sources));
}

}  // namespace proclens::linux_port
