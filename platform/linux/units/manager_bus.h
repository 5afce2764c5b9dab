#pragma once
// systemd's service managers on D-Bus (org.freedesktop.systemd1), asked for
// the descriptions of the units they have loaded. One question per manager
// covers every unit of a list fill: Manager.ListUnitsByPatterns(no states,
// the names) answers from the units the manager has loaded and loads none
// (GetUnit fails as fast, but needs a second call per unit for the
// Description; the unit's own object path, or ListUnitsByNames, would make
// the manager load a unit it does not know). A manager older than that call
// (systemd 230) answers ListUnits, whose rows are then picked.
//
// Each bus has a connection of its own (GDBus), made on the thread that
// asks, on a main context that the question creates and drops again: never
// the window's. Connecting, the bus's Hello and the question are bounded
// together by one time-out (and a look at who owns the name); a bus that cannot be reached, fails, or has not
// answered in time is away from then on, and nothing asks it again.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/base/gobject_ptr.h"

namespace proclens::linux_port {

// The site client waits up to 3 s to connect and 8 s for an exchange with a
// remote host; a service manager is a local daemon that lists hundreds of
// units in a few milliseconds. One that has not answered in a quarter of a
// second is busy or stuck, and the unit files say what it would have said.
inline constexpr std::chrono::milliseconds kManagerTimeout{250};

// A manager's answer: each asked unit that it has loaded, with its
// description ("" where the unit has none of its own).
using ManagerAnswers = std::map<std::string, std::string>;

struct ManagerQuestion;

class ManagerBus {
 public:
  // address: a D-Bus address, "" for a bus that is not there; manager_uid:
  // the user that the manager runs as (0 for the system's), whose word alone
  // is taken: whoever else owns the name there is not asked.
  ManagerBus(std::string address, std::uint32_t manager_uid);

  bool away() const { return away_; }

 private:
  friend void AskManagers(std::vector<ManagerQuestion>&, std::chrono::milliseconds);
  std::string address_;
  std::uint32_t manager_uid_;
  GObjectPtr<GDBusConnection> connection_;  // once the manager was found on it
  bool away_ = false;
};

struct ManagerQuestion {
  ManagerBus* bus = nullptr;
  std::vector<std::string> units;
  std::optional<ManagerAnswers> answers;  // nullopt: the bus is away
};

// Asks every question's bus at once and returns when all have answered or
// the time-out has passed. Blocks the calling thread for at most about the
// time-out; a bus already away costs nothing.
void AskManagers(std::vector<ManagerQuestion>& questions, std::chrono::milliseconds timeout);

}  // namespace proclens::linux_port
