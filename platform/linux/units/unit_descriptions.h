#pragma once
// The description of the units that processes run in: from the unit's
// manager on D-Bus where one answers, else from the unit's files.
// - The system manager is asked on the system bus. A user's manager is asked
//   only when the viewer is that user, on the viewer's session bus (where
//   systemd --user owns org.freedesktop.systemd1 on desktops that run it);
//   its private socket ($XDG_RUNTIME_DIR/systemd/private) is left alone, as
//   systemd calls it no interface of its own to rely on. Another user's
//   units are described from that user's files.
// - Every unit is described once per run (the answers are kept), every
//   manager asked at most once per Describe call, all managers at once; a
//   bus that is missing or has not answered within the time-out is not
//   asked again (manager_bus.h).
//
// How to call it: Describe blocks for up to about the time-out (and reads
// files), so it belongs on a worker thread, never on the window's: hand it
// the units of a list fill there and post the answers back to the main loop
// (g_idle_add, Glib::Dispatcher). It may be called from any thread; calls are
// served one after another.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/linux/units/cgroup_unit.h"
#include "platform/linux/units/manager_bus.h"
#include "platform/linux/units/unit_file_search.h"

namespace proclens::linux_port {

struct UnitDescription {
  enum class Source { kNone, kManager, kUnitFile };
  Source source = Source::kNone;
  // Valid UTF-8 of at most kDescriptionLimit bytes; it may hold control
  // characters, which the caller escapes for its medium. Empty for kNone.
  std::string text;
  // For kUnitFile: the file that set it, whose writer's word it is.
  std::filesystem::path file;

  bool operator==(const UnitDescription&) const = default;
};

struct UnitDescriptionSetup {
  std::string system_bus;   // D-Bus address; "" for none
  std::string session_bus;  // the viewer's own session bus; "" for none
  std::uint32_t viewer_uid = 0;
  std::chrono::milliseconds timeout = kManagerTimeout;
  std::vector<std::filesystem::path> system_folders;
  // The search path of a user's manager, for that user's UID.
  std::function<std::vector<std::filesystem::path>(std::uint32_t uid)> user_folders;
};

// The buses, folders and user of this process: $DBUS_SYSTEM_BUS_ADDRESS or
// the standard socket, $DBUS_SESSION_BUS_ADDRESS or $XDG_RUNTIME_DIR/bus (never
// an autolaunched bus), systemd's search paths, homes from the user database.
UnitDescriptionSetup SetupForThisViewer();

class UnitDescriptions {
 public:
  explicit UnitDescriptions(UnitDescriptionSetup setup);

  // One description per unit, in their order; a container's scope has none.
  std::vector<UnitDescription> Describe(const std::vector<CgroupUnit>& units);
  // The description already known for unit, without asking anyone or
  // waiting for a question in flight; nullopt when none is known yet.
  std::optional<std::string> Known(const CgroupUnit& unit);

 private:
  using Key = std::tuple<UnitManager, std::uint32_t, std::string>;
  ManagerBus* BusFor(const CgroupUnit& unit);
  void AskManagersAbout(const std::vector<CgroupUnit>& units);
  UnitDescription FromFiles(const CgroupUnit& unit);

  std::mutex mutex_;
  UnitDescriptionSetup setup_;
  ManagerBus system_bus_;
  ManagerBus session_bus_;
  UnitFileSearch system_files_;
  std::map<std::uint32_t, UnitFileSearch> user_files_;
  std::map<Key, UnitDescription> known_;
};

}  // namespace proclens::linux_port
