// proclens-cli version [--json] FILE...: the three texts the offline page
// shows for each file, read the way the window reads them.

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/output.h"
#include "infopage/version_info_reader.h"

namespace proclens::cli {
namespace {

constexpr char kUsage[] = "version [--json] FILE...";


void PrintLine(const std::string& file, const VersionTexts& texts) {
  std::printf("%s\t%s\t%s\t%s\t%s\n", OneField(file).c_str(), texts.ok ? "ok" : "none",
              OneField(texts.description).c_str(), OneField(texts.product).c_str(),
              OneField(texts.company).c_str());
}

nlohmann::ordered_json AsJson(const std::string& file, const VersionTexts& texts,
                              CliPlatform& platform) {
  return {{"file", platform.Utf8(file)},
          {"ok", texts.ok},
          {"description", platform.Utf8(texts.description)},
          {"product", platform.Utf8(texts.product)},
          {"company", platform.Utf8(texts.company)}};
}

int RunVersion(const std::vector<std::string>& args) {
  bool json = false;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: proclens-cli %s\n", kUsage);
    return 1;
  }

  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const std::string& file : files) {
    const VersionTexts texts = ReadVersionInfo(file, {platform->Versions(), platform->System()});
    if (json) {
      list.push_back(AsJson(file, texts, *platform));
    } else {
      PrintLine(file, texts);
    }
  }
  if (json) PrintJson(list);
  return FlushOutput("version") ? 0 : 1;
}

const RegisterCommand kRegisterVersion(
    {"version", "version [--json] FILE...   per file: ok or none, description, product, company",
     RunVersion});

}  // namespace
}  // namespace proclens::cli
