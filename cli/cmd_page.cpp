// proclens-cli page PID|FILE: writes the offline information page that the
// window would show and prints the page file's path.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/listed_item.h"

namespace proclens::cli {
namespace {

constexpr char kUsage[] = "page PID|FILE";

int RunPage(const std::vector<std::string>& args) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  const std::optional<ProcessItem> item = ItemOfArguments(args, *platform, "page", kUsage);
  if (!item) return 1;
  const std::optional<std::string> file = WriteItemPage(*item, *platform, "page");
  if (!file) return 1;
  std::printf("%s\n", file->c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterCommand kRegisterPage(
    {"page", "page PID|FILE              writes the offline page of a process or file, prints its path",
     RunPage});

}  // namespace
}  // namespace proclens::cli
