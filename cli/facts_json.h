#pragma once
// A process's facts (why it runs and where) as proclens-cli writes them:
// JSON keys that are given where they are known and absent where not.

#include <nlohmann/json.hpp>

#include "cli/cli_platform.h"
#include "platform/process_facts_ops.h"

namespace proclens::cli {

// Adds "container", "unit", "services", "parent" and "user" to record, each
// only where the facts hold it.
void AddFactsToJson(const ProcessFacts& facts, CliPlatform& platform, nlohmann::ordered_json& record);

// The container object alone.
nlohmann::ordered_json ContainerJson(const ContainerFacts& container, CliPlatform& platform);

}  // namespace proclens::cli
