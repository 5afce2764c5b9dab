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

int RunVersion(const Arguments& args) {
  const bool json = args.Has("--json");
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const std::string& file : args.operands) {
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
    {"version", "FILE...", 1, kAnyNumber, {{"--json", "a JSON array of objects with the same fields"}},
     "per file: ok or none, description, product, company",
     "For each file, one line: ok or none (whether the file tells what it is), then the\n"
     "description, product and company that its information page shows, separated by tabs.",
     RunVersion});

}  // namespace
}  // namespace proclens::cli
