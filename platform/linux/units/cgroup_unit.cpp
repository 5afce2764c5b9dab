#include "platform/linux/units/cgroup_unit.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <span>
#include <vector>

#include "platform/linux/proc/cgroup_path.h"
#include "platform/linux/base/unique_fd.h"
#include "platform/linux/units/unit_name.h"

namespace proclens::linux_port {
namespace {

// Unit types whose units have a cgroup of their own that processes run in
// (slices hold only other units).
constexpr std::array<std::string_view, 5> kProcessUnitTypes = {"service", "scope", "socket", "mount", "swap"};

// /proc/PID/cgroup has one short line per hierarchy.
constexpr std::size_t kCgroupFileLimit = 64u << 10;

using Names = std::span<const std::string_view>;

bool HoldsProcesses(std::string_view name) {
  const auto parts = ParseUnitName(name);
  if (!parts || parts->templated) return false;
  for (const std::string_view type : kProcessUnitTypes)
    if (parts->type == type) return true;
  return false;
}

bool IsHexId(std::string_view id) {
  if (id.size() != 64) return false;
  for (const char c : id)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::optional<CgroupUnit> ContainerBelow(Names below, UnitManager manager, std::uint32_t uid) {
  for (const std::string_view folder : below)
    if (IsContainerCgroup(folder))
      return CgroupUnit{CgroupUnit::Kind::kContainerScope, std::string(folder), manager, uid};
  return std::nullopt;
}

// The unit that `names` (the path below a manager's root) puts the process in,
// as that manager sees it.
std::optional<CgroupUnit> UnitBelow(Names names, UnitManager manager, std::uint32_t uid) {
  std::size_t at = 0;
  while (at < names.size() && IsSliceName(CgroupUnescape(names[at]))) ++at;
  if (at == names.size()) return std::nullopt;
  if (IsContainerCgroup(names[at]))
    return CgroupUnit{CgroupUnit::Kind::kContainerScope, std::string(names[at]), manager, uid};
  const std::string_view name = CgroupUnescape(names[at]);
  if (!HoldsProcesses(name)) return std::nullopt;
  const Names below = names.subspan(at + 1);
  if (manager == UnitManager::kSystem) {
    if (const auto user = UserManagerUid(name)) {
      // The user's manager and its own processes sit in its init.scope; a
      // process right in user@UID.service, or below it in no unit, is the
      // system manager's.
      if (auto user_unit = UnitBelow(below, UnitManager::kUser, *user)) return user_unit;
      return CgroupUnit{CgroupUnit::Kind::kUnit, std::string(name), manager, uid};
    }
  }
  if (auto container = ContainerBelow(below, manager, uid)) return container;
  return CgroupUnit{CgroupUnit::Kind::kUnit, std::string(name), manager, uid};
}

std::optional<std::string> ReadProcFile(int proc_fd, const std::string& name) {
  UniqueFd fd(::openat(proc_fd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!fd.valid()) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (text.size() < kCgroupFileLimit) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace

bool IsContainerCgroup(std::string_view folder) {
  if (folder.starts_with("lxc.payload.")) return folder.size() > std::string_view("lxc.payload.").size();
  if (!folder.ends_with(".scope")) return false;
  const std::string_view stem = folder.substr(0, folder.size() - std::string_view(".scope").size());
  for (const std::string_view runtime : {"docker-", "libpod-", "cri-containerd-", "crio-"})
    if (stem.starts_with(runtime)) return IsHexId(stem.substr(runtime.size()));
  return stem.starts_with("machine-") && stem.size() > std::string_view("machine-").size();
}

std::optional<CgroupUnit> UnitFromCgroupPath(std::string_view path) {
  const std::vector<std::string_view> names = CgroupPathNames(path);
  return UnitBelow(names, UnitManager::kSystem, 0);
}

std::optional<CgroupUnit> UnitFromCgroupFile(std::string_view cgroup_text) {
  const auto path = ProcessCgroupPath(cgroup_text);
  if (!path) return std::nullopt;
  return UnitFromCgroupPath(*path);
}

std::optional<CgroupUnit> UnitOfProcess(int proc_fd, std::uint32_t pid) {
  const auto text = ReadProcFile(proc_fd, std::to_string(pid) + "/cgroup");
  if (!text) return std::nullopt;
  return UnitFromCgroupFile(*text);
}

}  // namespace proclens::linux_port
