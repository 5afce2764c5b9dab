#pragma once
// What the version tests on the live system share: running a command for its
// output, and a system whose user language stays fixed.

#include <optional>
#include <string>
#include <vector>

#include "linux/support/run_command.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/linux_version_ops.h"
#include "platform/linux/versions/package_blocks.h"
#include "platform/linux/versions/pe_file_blocks.h"

namespace proclens::testing {

// The folder tests/ of the source tree.
inline std::string TestsFolder() {
  const std::string here = __FILE__;
  return here.substr(0, here.rfind("/linux/"));
}

class FixedLanguageSystem : public linux_port::LinuxSystemInfo {
 public:
  explicit FixedLanguageSystem(std::uint16_t lang_id) : lang_id_(lang_id) {}
  std::uint16_t UserDefaultLangId() override { return lang_id_; }

 private:
  std::uint16_t lang_id_;
};

// The version operations over PE files alone, or over PE files and then what
// installed a program.
struct VersionsOver {
  explicit VersionsOver(SystemInfo& system, linux_port::ProgramOrigins* origins = nullptr)
      : pe(system), packages(origins ? std::make_optional<linux_port::PackageBlocks>(system, *origins) : std::nullopt),
        ops(Sources()) {}
  std::vector<linux_port::VersionBlockSource*> Sources() {
    std::vector<linux_port::VersionBlockSource*> sources{&pe};
    if (packages) sources.push_back(&*packages);
    return sources;
  }
  linux_port::PeFileBlocks pe;
  std::optional<linux_port::PackageBlocks> packages;
  linux_port::LinuxVersionOps ops;
};

}  // namespace proclens::testing
