// proclens-cli why PID...: why each process runs and where, in lines that a
// person reads.

#include <cstdio>
#include <string>

#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/listed_item.h"
#include "cli/output.h"

namespace proclens::cli {
namespace {

std::string Detailed(const std::string& name, const std::string& detail) {
  return detail.empty() ? name : name + " (" + detail + ")";
}

// One "what: value" line each; the values are the system's, shown visibly.
void PrintFacts(std::uint32_t pid, const std::string& name, const ProcessFacts& facts) {
  std::string text = "process: " + std::to_string(pid) + " " + Visible(name) + "\n";
  if (facts.container) {
    const ContainerFacts& container = *facts.container;
    std::string detail = container.image.empty() ? "" : "image " + container.image + ", ";
    text += "container: " + Visible(Detailed(container.name.empty() ? container.id : container.name,
                                             detail + container.runtime + ", " + container.id)) + "\n";
  }
  if (facts.unit) {
    text += "unit: " + Visible(Detailed(facts.unit->name, facts.unit->description)) +
            (facts.unit->user_manager ? " of the user's own manager\n" : " of the system\n");
  }
  for (const ServiceFacts& service : facts.services) {
    text += "service: " + Visible(Detailed(service.name, service.display_name)) +
            (service.description.empty() ? "" : ": " + Visible(service.description)) + "\n";
  }
  if (facts.parent) {
    text += "parent: " + std::to_string(facts.parent->pid) +
            (facts.parent->ended ? " (ended)" : " " + Visible(facts.parent->name)) + "\n";
  }
  if (facts.user) text += "user: " + Visible(*facts.user) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
}

int RunWhy(const Arguments& args) {
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  bool all_found = true;
  ProcessFactsOps& facts_ops = platform->Facts();
  facts_ops.Refresh();
  for (const std::string& argument : args.operands) {
    const std::optional<std::uint32_t> pid = ParsePid(argument);
    const std::optional<ProcessItem> item = pid ? ListedItem(argument, *platform) : std::nullopt;
    if (!item) {
      std::fprintf(stderr, "proclens-cli why: no process %s in the list\n", Visible(argument).c_str());
      all_found = false;
      continue;
    }
    ProcessFacts facts = facts_ops.FactsOf(*pid);
    facts_ops.Describe(facts);
    PrintFacts(*pid, item->caption, facts);
  }
  if (!FlushOutput("why")) return 1;
  return all_found ? 0 : 1;
}

const RegisterCommand kRegisterWhy(
    {"why", "PID...", 1, kAnyNumber, {}, "why each process runs: its container, unit or services, parent and user",
     "For each process, lines that say why it runs and where: the container it runs in,\n"
     "the systemd unit (Linux) or the services (Windows) it runs as, the process that\n"
     "started it and the user it runs for.",
     RunWhy});

}  // namespace
}  // namespace proclens::cli
