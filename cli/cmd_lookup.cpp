// proclens-cli lookup PID|FILE: the click's decision for one process or file,
// without a window and without the run's report: "online ADDRESS" when the
// site's page for it answers with status 200, else "offline PATH" of the
// offline page written for it.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/page_selection.h"
#include "cli/command.h"
#include "cli/listed_item.h"
#include "infopage/offline_page.h"
#include "infopage/page_file.h"
#include "platform/linux/curl_http_ops.h"
#include "platform/linux/linux_page_platform.h"
#include "platform/linux/linux_site_ops.h"
#include "siteclient/agent_string.h"
#include "siteclient/site_base.h"
#include "siteclient/url_helpers.h"

namespace proclens::cli {
namespace {

constexpr char kUsage[] = "lookup PID|FILE";

int PrintOfflinePage(const ProcessItem& item, linux_port::LinuxPlatform& platform) {
  linux_port::LinuxPagePlatform pages(platform.system);
  try {
    const std::string page = BuildOfflinePage(item, pages.Page(), SiteBase());
    const std::string file = WritePageFile(page, pages.files, GermanChosen(platform.system));
    std::printf("offline %s\n", file.c_str());
  } catch (const PageFileError& failure) {
    std::fprintf(stderr, "proclens-cli lookup: %s\n", failure.what());
    return 1;
  }
  return 0;
}

int RunLookup(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty()) {
    std::fprintf(stderr, "usage: proclens-cli %s\n", kUsage);
    return 1;
  }
  linux_port::LinuxPlatform platform;
  const std::optional<ProcessItem> item = ListedItem(args[0], platform);
  if (!item) {
    std::fprintf(stderr, "proclens-cli lookup: no process %s in the list\n", args[0].c_str());
    return 1;
  }
  const std::string address = OnlineAddress(SiteBase(), item->caption, GermanChosen(platform.system));
  linux_port::LinuxSiteOps site;
  linux_port::CurlHttpOps http;
  if (UrlExists(http, ComposeAgentString(site, platform.system), address)) {
    std::printf("online %s\n", address.c_str());
  } else if (int failed = PrintOfflinePage(*item, platform)) {
    return failed;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterCommand kRegisterLookup(
    {"lookup", "lookup PID|FILE            online ADDRESS, or offline PATH of the page written",
     RunLookup});

}  // namespace
}  // namespace proclens::cli
