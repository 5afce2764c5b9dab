// proclens-cli agent | id | exists URL | fetch URL: the site client's exchanges
// from a terminal, with the same agent string the window sends.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/command.h"
#include "siteclient/agent_string.h"
#include "siteclient/installation_id.h"
#include "siteclient/url_helpers.h"

namespace proclens::cli {
namespace {

std::string Agent(CliPlatform& platform) {
  return ComposeAgentString(platform.Site(), platform.System());
}

bool OneArgument(const std::vector<std::string>& args, const char* usage) {
  if (args.size() == 1) return true;
  std::fprintf(stderr, "usage: proclens-cli %s\n", usage);
  return false;
}

int RunAgent(const std::vector<std::string>& /*args*/) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  std::printf("%s\n", Agent(*platform).c_str());
  return 0;
}

int RunId(const std::vector<std::string>& /*args*/) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  std::printf("%s\n", InstallationId(platform->Site(), platform->System()).c_str());
  return 0;
}

int RunExists(const std::vector<std::string>& args) {
  if (!OneArgument(args, "exists URL")) return 2;
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  return UrlExists(platform->Http(), Agent(*platform), args[0]) ? 0 : 1;
}

int RunFetch(const std::vector<std::string>& args) {
  if (!OneArgument(args, "fetch URL")) return 2;
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  const std::string text = FetchUrlText(platform->Http(), Agent(*platform), args[0]);
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}

const RegisterCommand kAgent({"agent", "agent           the agent string sent with each request", RunAgent});
const RegisterCommand kId({"id", "id              the installation identifier", RunId});
const RegisterCommand kExists(
    {"exists", "exists URL      exit 0 when URL answers with status 200, else 1", RunExists});
const RegisterCommand kFetch({"fetch", "fetch URL       the reply body as the program reads it", RunFetch});

}  // namespace
}  // namespace proclens::cli
