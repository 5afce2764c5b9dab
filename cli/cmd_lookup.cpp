// proclens-cli lookup PID|FILE: the click's decision for one process or file,
// without a window and without the run's report: "online ADDRESS" when the
// site's page for it answers with status 200, else "offline PATH" of the
// offline page written for it.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/page_selection.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/listed_item.h"
#include "cli/output.h"
#include "siteclient/agent_string.h"
#include "siteclient/site_base.h"
#include "siteclient/url_helpers.h"

namespace proclens::cli {
namespace {

int RunLookup(const Arguments& args) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  const std::optional<ProcessItem> item = ItemOfArgument(args.operands[0], *platform, "lookup");
  if (!item) return 1;
  SystemInfo& system = platform->System();
  const std::string address = OnlineAddress(SiteBase(), item->caption, GermanChosen(system),
                                            system.Traits().percent_encode_addresses);
  if (UrlExists(platform->Http(), ComposeAgentString(platform->Site(), system), address)) {
    std::printf("online %s\n", Visible(address).c_str());
  } else {
    const std::optional<std::string> file = WriteItemPage(*item, *platform, "lookup");
    if (!file) return 1;
    std::printf("offline %s\n", file->c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterCommand kRegisterLookup(
    {"lookup", "PID|FILE", 1, 1, {},
     "online ADDRESS, or offline PATH of the page written",
     "What a click on the process (or the program's file) would show: \"online ADDRESS\"\n"
     "when the site's page for it answers, else \"offline PATH\" of the information page\n"
     "written for it. Sends no report.",
     RunLookup});

}  // namespace
}  // namespace proclens::cli
