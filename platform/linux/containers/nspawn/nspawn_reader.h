#pragma once
// Machines that systemd-nspawn runs, from what systemd-machined records of each
// (/run/systemd/machines/NAME, KEY=VALUE lines with C escapes, as libsystemd's
// own readers take it: sd_journal_open_container reads ROOT and CLASS there):
// CLASS says whether it is a container at all (machined also lists virtual
// machines, whose processes run on the host), ROOT the tree or image it runs
// from, which stands for its image. The name is the cgroup's.

#include "platform/linux/containers/container_reader.h"
#include "platform/linux/containers/state_folder.h"

namespace proclens::linux_port {

inline constexpr const char* kMachinedState = "/run/systemd/machines";

class NspawnReader : public ContainerStateReader {
 public:
  explicit NspawnReader(std::string machines) : folder_(std::move(machines)) {}
  ContainerRuntime runtime() const override { return ContainerRuntime::kNspawn; }
  StateAnswer Read(const ContainerRef& ref) override;

 private:
  StateFolder folder_;
};

// The value of key in machined's text, its C escapes undone; nullopt when no
// line sets it.
std::optional<std::string> MachineField(std::string_view text, std::string_view key);

}  // namespace proclens::linux_port
