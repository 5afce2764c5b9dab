#pragma once
// What the version tests on the live system share: running a command for its
// output, and a system whose user language stays fixed.

#include <string>

#include "linux/run_command.h"
#include "platform/linux/linux_system_info.h"

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

}  // namespace proclens::testing
