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

int RunPage(const Arguments& args) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  const std::optional<ProcessItem> item = ItemOfArgument(args.operands[0], *platform, "page");
  if (!item) return 1;
  const std::optional<std::string> file = WriteItemPage(*item, *platform, "page");
  if (!file) return 1;
  std::printf("%s\n", file->c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterCommand kRegisterPage(
    {"page", "PID|FILE", 1, 1, {},
     "writes the offline page of a process or file, prints its path",
     "Builds the information page that the window shows for a process (or a program's\n"
     "file) when the site has no page for it, writes it to a new file in the temporary\n"
     "folder and prints that file's path.",
     RunPage});

}  // namespace
}  // namespace proclens::cli
