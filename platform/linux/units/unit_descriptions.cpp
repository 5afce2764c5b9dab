#include "platform/linux/units/unit_descriptions.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

#include "platform/linux/base/gobject_ptr.h"
#include "platform/linux/units/unit_file_text.h"

namespace proclens::linux_port {
namespace {

constexpr char kSystemBusSocket[] = "unix:path=/run/dbus/system_bus_socket";

// A bus address from the environment; one that would start a bus
// (autolaunch:) counts as none.
std::string BusAddressFrom(const char* name) {
  const char* value = std::getenv(name);
  if (!value || std::string_view(value).starts_with("autolaunch:")) return "";
  return value;
}

// The session bus where the session has one, found the way sd-bus finds it:
// never by starting one (GIO's autolaunch would run dbus-launch).
std::string SessionBusAddress() {
  if (std::string address = BusAddressFrom("DBUS_SESSION_BUS_ADDRESS"); !address.empty()) return address;
  const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime_dir || *runtime_dir == '\0') return "";
  const std::string runtime = runtime_dir;
  const std::string socket = runtime + "/bus";
  struct stat st {};
  if (::stat(socket.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) return "";
  const GCharPtr escaped(g_dbus_address_escape_value(socket.c_str()));
  return std::string("unix:path=") + escaped.get();
}

std::filesystem::path HomeOf(std::uint32_t uid) {
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir) return {};
  return found->pw_dir;
}

}  // namespace

UnitDescriptionSetup SetupForThisViewer() {
  UnitDescriptionSetup setup;
  setup.system_bus = BusAddressFrom("DBUS_SYSTEM_BUS_ADDRESS");
  if (setup.system_bus.empty()) setup.system_bus = kSystemBusSocket;
  setup.session_bus = SessionBusAddress();
  setup.viewer_uid = ::geteuid();
  setup.system_folders = SystemUnitFolders();
  setup.user_folders = [](std::uint32_t uid) {
    const std::filesystem::path home = HomeOf(uid);
    // Without a home only the folders shared by all users are left.
    return UserUnitFolders(home.empty() ? std::filesystem::path("/nonexistent") : home, uid);
  };
  return setup;
}

UnitDescriptions::UnitDescriptions(UnitDescriptionSetup setup)
    : setup_(std::move(setup)),
      system_bus_(setup_.system_bus, 0),
      session_bus_(setup_.session_bus, setup_.viewer_uid),
      system_files_(setup_.system_folders) {}

std::vector<UnitDescription> UnitDescriptions::Describe(const std::vector<CgroupUnit>& units) {
  const std::lock_guard lock(mutex_);
  AskManagersAbout(units);
  std::vector<UnitDescription> descriptions;
  for (const CgroupUnit& unit : units) {
    if (unit.kind == CgroupUnit::Kind::kContainerScope) {
      descriptions.emplace_back();
      continue;
    }
    const Key key{unit.manager, unit.uid, unit.name};
    auto known = known_.find(key);
    if (known == known_.end()) known = known_.emplace(key, FromFiles(unit)).first;
    descriptions.push_back(known->second);
  }
  return descriptions;
}

std::optional<std::string> UnitDescriptions::Known(const CgroupUnit& unit) {
  const std::unique_lock lock(mutex_, std::try_to_lock);
  if (!lock.owns_lock() || unit.kind != CgroupUnit::Kind::kUnit) return std::nullopt;
  const auto known = known_.find(Key{unit.manager, unit.uid, unit.name});
  if (known == known_.end()) return std::nullopt;
  return known->second.text;
}

ManagerBus* UnitDescriptions::BusFor(const CgroupUnit& unit) {
  if (unit.manager == UnitManager::kSystem) return &system_bus_;
  return unit.uid == setup_.viewer_uid ? &session_bus_ : nullptr;
}

void UnitDescriptions::AskManagersAbout(const std::vector<CgroupUnit>& units) {
  std::vector<ManagerQuestion> questions(2);
  questions[0].bus = &system_bus_;
  questions[1].bus = &session_bus_;
  std::set<Key> asked;
  for (const CgroupUnit& unit : units) {
    const Key key{unit.manager, unit.uid, unit.name};
    ManagerBus* bus = BusFor(unit);
    if (unit.kind != CgroupUnit::Kind::kUnit || !bus || bus->away() || known_.contains(key)) continue;
    if (asked.insert(key).second) questions[bus == &session_bus_ ? 1 : 0].units.push_back(unit.name);
  }
  if (asked.empty()) return;
  AskManagers(questions, setup_.timeout);
  for (const ManagerQuestion& question : questions) {
    if (!question.answers) continue;
    const bool user = question.bus == &session_bus_;
    for (const auto& [name, text] : *question.answers) {
      UnitDescription description;
      if (!text.empty()) description = {UnitDescription::Source::kManager, BoundedDescription(text), {}};
      known_[Key{user ? UnitManager::kUser : UnitManager::kSystem, user ? setup_.viewer_uid : 0, name}] =
          std::move(description);
    }
  }
}

UnitDescription UnitDescriptions::FromFiles(const CgroupUnit& unit) {
  const UnitFileSearch* search = &system_files_;
  if (unit.manager == UnitManager::kUser) {
    auto files = user_files_.find(unit.uid);
    if (files == user_files_.end()) {
      std::vector<std::filesystem::path> folders;
      if (setup_.user_folders) folders = setup_.user_folders(unit.uid);
      files = user_files_.emplace(unit.uid, UnitFileSearch(std::move(folders))).first;
    }
    search = &files->second;
  }
  const auto found = search->Describe(unit.name);
  if (!found) return {};
  return {UnitDescription::Source::kUnitFile, BoundedDescription(found->text), found->file};
}

}  // namespace proclens::linux_port
