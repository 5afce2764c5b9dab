// proclens-cli page PID|FILE: writes the offline information page that the
// window would show and prints the page file's path.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/listed_item.h"
#include "infopage/offline_page.h"
#include "infopage/page_file.h"
#include "platform/linux/linux_page_platform.h"
#include "platform/linux/linux_platform.h"
#include "siteclient/site_base.h"

namespace proclens::cli {
namespace {

constexpr char kUsage[] = "page PID|FILE";

int RunPage(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty()) {
    std::fprintf(stderr, "usage: proclens-cli %s\n", kUsage);
    return 1;
  }
  linux_port::LinuxPlatform platform;
  const std::optional<ProcessItem> item = ListedItem(args[0], platform);
  if (!item) {
    std::fprintf(stderr, "proclens-cli page: no process %s in the list\n", args[0].c_str());
    return 1;
  }
  linux_port::LinuxPagePlatform pages(platform.system);
  try {
    const std::string page = BuildOfflinePage(*item, pages.Page(), SiteBase());
    const std::string file = WritePageFile(page, pages.files, GermanChosen(platform.system));
    std::printf("%s\n", file.c_str());
  } catch (const PageFileError& failure) {
    std::fprintf(stderr, "proclens-cli page: %s\n", failure.what());
    return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterCommand kRegisterPage(
    {"page", "page PID|FILE              writes the offline page of a process or file, prints its path",
     RunPage});

}  // namespace
}  // namespace proclens::cli
