#include "cli/facts_json.h"

namespace proclens::cli {

nlohmann::ordered_json ContainerJson(const ContainerFacts& container, CliPlatform& platform) {
  return {{"runtime", container.runtime},
          {"id", platform.Utf8(container.id)},
          {"name", platform.Utf8(container.name)},
          {"image", platform.Utf8(container.image)}};
}

void AddFactsToJson(const ProcessFacts& facts, CliPlatform& platform, nlohmann::ordered_json& record) {
  if (facts.container) record["container"] = ContainerJson(*facts.container, platform);
  if (facts.unit) {
    record["unit"] = {{"name", platform.Utf8(facts.unit->name)},
                      {"description", platform.Utf8(facts.unit->description)},
                      {"manager", facts.unit->user_manager ? "user" : "system"}};
  }
  if (!facts.services.empty()) {
    nlohmann::ordered_json services = nlohmann::ordered_json::array();
    for (const ServiceFacts& service : facts.services) {
      services.push_back({{"name", platform.Utf8(service.name)},
                          {"display_name", platform.Utf8(service.display_name)},
                          {"description", platform.Utf8(service.description)}});
    }
    record["services"] = std::move(services);
  }
  if (facts.parent) {
    nlohmann::ordered_json parent = {{"pid", facts.parent->pid}};
    if (facts.parent->ended) {
      parent["ended"] = true;
    } else {
      parent["name"] = platform.Utf8(facts.parent->name);
    }
    record["parent"] = std::move(parent);
  }
  if (facts.user) record["user"] = platform.Utf8(*facts.user);
}

}  // namespace proclens::cli
