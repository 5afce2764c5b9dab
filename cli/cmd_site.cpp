// proclens-cli agent | id | exists URL | fetch URL: the site client's exchanges
// from a terminal, with the same agent string the window sends.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/output.h"
#include "siteclient/agent_string.h"
#include "siteclient/installation_id.h"
#include "siteclient/url_helpers.h"

namespace proclens::cli {
namespace {

std::string Agent(CliPlatform& platform) {
  return ComposeAgentString(platform.Site(), platform.System());
}

int RunAgent(const Arguments& /*args*/) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  std::printf("%s\n", Agent(*platform).c_str());
  return FlushOutput("agent") ? 0 : 1;
}

int RunId(const Arguments& /*args*/) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  std::printf("%s\n", InstallationId(platform->Site(), platform->System()).c_str());
  return FlushOutput("id") ? 0 : 1;
}

int RunExists(const Arguments& args) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  return UrlExists(platform->Http(), Agent(*platform), args.operands[0]) ? 0 : 1;
}

int RunFetch(const Arguments& args) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  std::string text;
  // A site's reply is not the terminal's to obey: lines and tabs stay, other controls show.
  AppendVisible(text, FetchUrlText(platform->Http(), Agent(*platform), args.operands[0]), "\t\n");
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return FlushOutput("fetch") && written ? 0 : 1;
}

const RegisterCommand kAgent({"agent", "", 0, 0, {}, "the agent string sent with each request",
                              "The User-Agent text that the program sends with each of its requests.",
                              RunAgent});
const RegisterCommand kId({"id", "", 0, 0, {}, "the installation identifier",
                           "The five-character identifier of this installation, as the report sends it.",
                           RunId});
const RegisterCommand kExists({"exists", "URL", 1, 1, {}, "exit 0 when URL answers with status 200, else 1",
                               "Requests URL as the window does before it shows an online page: exit\n"
                               "status 0 when it answers with status 200, else 1. Prints nothing.",
                               RunExists});
const RegisterCommand kFetch({"fetch", "URL", 1, 1, {}, "the reply body as the program reads it",
                              "Requests URL and writes the reply's body as the program reads it, control\n"
                              "characters other than line feeds and tabs written as \\xNN.",
                              RunFetch});

}  // namespace
}  // namespace proclens::cli
