// proclens-cli agent | id | exists URL | fetch URL: the site client's exchanges
// from a terminal, with the same agent string the window sends.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/linux/curl_http_ops.h"
#include "platform/linux/linux_site_ops.h"
#include "platform/linux/linux_system_info.h"
#include "siteclient/agent_string.h"
#include "siteclient/installation_id.h"
#include "siteclient/url_helpers.h"

namespace proclens::cli {
namespace {

std::string Agent() {
  linux_port::LinuxSiteOps site;
  linux_port::LinuxSystemInfo system;
  return ComposeAgentString(site, system);
}

bool OneArgument(const std::vector<std::string>& args, const char* usage) {
  if (args.size() == 1) return true;
  std::fprintf(stderr, "usage: proclens-cli %s\n", usage);
  return false;
}

int RunAgent(const std::vector<std::string>& /*args*/) {
  std::printf("%s\n", Agent().c_str());
  return 0;
}

int RunId(const std::vector<std::string>& /*args*/) {
  linux_port::LinuxSiteOps site;
  linux_port::LinuxSystemInfo system;
  std::printf("%s\n", InstallationId(site, system).c_str());
  return 0;
}

int RunExists(const std::vector<std::string>& args) {
  if (!OneArgument(args, "exists URL")) return 2;
  linux_port::CurlHttpOps http;
  return UrlExists(http, Agent(), args[0]) ? 0 : 1;
}

int RunFetch(const std::vector<std::string>& args) {
  if (!OneArgument(args, "fetch URL")) return 2;
  linux_port::CurlHttpOps http;
  const std::string text = FetchUrlText(http, Agent(), args[0]);
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}

const RegisterCommand kAgent({"agent", "agent           the agent string sent with each request", RunAgent});
const RegisterCommand kId({"id", "id              the installation identifier", RunId});
const RegisterCommand kExists(
    {"exists", "exists URL      exit 0 when URL answers with status 200, else 1", RunExists});
const RegisterCommand kFetch({"fetch", "fetch URL       the reply body as the program reads it", RunFetch});

}  // namespace
}  // namespace proclens::cli
