#pragma once
// Why a process runs, and where: facts about the process beside its list
// item, never in its columns. The container it runs in (Linux), the systemd
// unit whose cgroup holds it (Linux) or the services it hosts (Windows), its
// parent and its user. The texts are input: whoever shows them escapes them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace proclens {

struct ContainerFacts {
  std::string runtime;  // docker, podman, containerd, cri-o, lxc, nspawn
  std::string id;
  std::string name;   // empty where the runtime's files do not say
  std::string image;  // likewise
};

struct UnitFacts {
  std::string name;         // as systemd shows it
  std::string description;  // empty until described, or where nothing says
  bool user_manager = false;  // a unit of a user's own manager, not the system's
};

struct ServiceFacts {
  std::string name;
  std::string display_name;
  std::string description;
};

struct ParentFacts {
  std::uint32_t pid = 0;
  std::string name;    // empty when it has ended
  bool ended = false;  // no process of that identifier runs, or a newer one has it
};

struct ProcessFacts {
  std::optional<ContainerFacts> container;
  std::optional<UnitFacts> unit;
  std::vector<ServiceFacts> services;
  std::optional<ParentFacts> parent;
  std::optional<std::string> user;  // the account's name, or its number where it has none
};

class ProcessFactsOps {
 public:
  virtual ~ProcessFactsOps() = default;
  // Before the facts of a new list fill: what is asked once for every process
  // (the service manager's list of services).
  virtual void Refresh() = 0;
  // The facts that cost no other program's answer; empty for a process that
  // has ended.
  virtual ProcessFacts FactsOf(std::uint32_t pid) = 0;
  // Fills in what another program must be asked for (a unit's description
  // from systemd), within that program's time-out: never on a window's thread
  // before it has been asked once elsewhere.
  virtual void Describe(ProcessFacts& facts) { (void)facts; }
  // The same for many processes, asking each other program once for all.
  virtual void DescribeAll(std::vector<ProcessFacts>& all) {
    for (ProcessFacts& facts : all) Describe(facts);
  }
};

}  // namespace proclens
