#pragma once
// What the version tests on the live system share: running a command for its
// output, and a system whose user language stays fixed.

#include <cstdio>
#include <string>

#include "platform/linux/linux_system_info.h"

namespace proclens::testing {

// The command's standard output, and its exit status (-1 when it did not run).
struct CommandOutput {
  int status = -1;
  std::string out;
};

inline CommandOutput RunCommand(const std::string& command) {
  CommandOutput result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[8192];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

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
