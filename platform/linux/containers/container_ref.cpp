#include "platform/linux/containers/container_ref.h"

#include <vector>

#include "platform/hex_digit.h"
#include "platform/linux/proc/cgroup_path.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kIdLength = 64;
constexpr std::size_t kMachineNameLimit = 64;
constexpr std::string_view kScope = ".scope";

// PREFIX, an ID, then ".scope" (systemd's cgroup driver) or, where the runtime
// also drives cgroupfs itself, nothing.
std::optional<std::string> IdInName(std::string_view name, std::string_view prefix, bool scope_only) {
  if (!name.starts_with(prefix)) return std::nullopt;
  name.remove_prefix(prefix.size());
  if (name.ends_with(kScope))
    name.remove_suffix(kScope.size());
  else if (scope_only)
    return std::nullopt;
  if (!IsContainerId(name)) return std::nullopt;
  return std::string(name);
}

// systemd writes a unit name's bytes outside [A-Za-z0-9:_.] (and '-') as
// \xNN (src/basic/unit-name.c, unit_name_escape).
std::optional<std::string> UnescapeUnitName(std::string_view text) {
  std::string name;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      name += text[i];
      continue;
    }
    if (i + 3 >= text.size() || text[i + 1] != 'x' || HexDigitValue(text[i + 2]) < 0 || HexDigitValue(text[i + 3]) < 0)
      return std::nullopt;
    name += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
    i += 3;
  }
  return name;
}

// machined takes only host names as machine names (hostname_is_valid).
bool IsMachineName(std::string_view name) {
  if (name.empty() || name.size() > kMachineNameLimit || name.front() == '.' || name.back() == '.' ||
      name.find("..") != std::string_view::npos)
    return false;
  for (const char c : name) {
    const bool letter_or_digit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letter_or_digit && c != '-' && c != '.') return false;
  }
  return true;
}

// LXC takes nearly any name; a cgroup name holds no '/', and no control
// characters are let through to a page.
bool IsLxcName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  return true;
}

// A machine that nspawn started: its own scope (machine-NAME.scope), or the
// payload folder of the unit that machinectl starts it in
// (systemd-nspawn@NAME.service, run with --keep-unit). nspawn itself stays
// beside the payload, in "supervisor" (src/nspawn/nspawn-cgroup.c).
std::optional<std::string> NspawnMachine(std::string_view name, std::string_view next) {
  std::string_view escaped;
  if (name.starts_with("machine-") && name.ends_with(kScope) && next != "supervisor") {
    escaped = name.substr(8, name.size() - 8 - kScope.size());
  } else if (name.starts_with("systemd-nspawn@") && name.ends_with(".service") && next == "payload") {
    escaped = name.substr(15, name.size() - 15 - 8);
  } else {
    return std::nullopt;
  }
  auto machine = UnescapeUnitName(escaped);
  if (!machine || !IsMachineName(*machine)) return std::nullopt;
  return machine;
}

// The container that names[i] stands for, given the folders around it.
std::optional<ContainerRef> ContainerAt(const std::vector<std::string_view>& names, std::size_t i) {
  const std::string_view name = names[i];
  const std::string_view previous = i > 0 ? names[i - 1] : std::string_view();
  const std::string_view next = i + 1 < names.size() ? names[i + 1] : std::string_view();
  // Docker: docker-ID.scope under systemd, /docker/ID under cgroupfs.
  if (auto id = IdInName(name, "docker-", true)) return ContainerRef{ContainerRuntime::kDocker, *id};
  if (previous == "docker" && IsContainerId(name)) return ContainerRef{ContainerRuntime::kDocker, std::string(name)};
  // Podman: libpod-ID[.scope]; its monitor is libpod-conmon-ID, no ID.
  if (auto id = IdInName(name, "libpod-", false)) return ContainerRef{ContainerRuntime::kPodman, *id};
  // containerd's CRI: cri-containerd-ID.scope under systemd, the bare ID in
  // the pod's folder under cgroupfs (pkg/cri/server/helpers_linux.go).
  if (auto id = IdInName(name, "cri-containerd-", true)) return ContainerRef{ContainerRuntime::kContainerd, *id};
  if (names.front() == "kubepods" && previous.starts_with("pod") && IsContainerId(name))
    return ContainerRef{ContainerRuntime::kContainerd, std::string(name)};
  // CRI-O: crio-ID[.scope]; its monitor is crio-conmon-ID.scope.
  if (auto id = IdInName(name, "crio-", false)) return ContainerRef{ContainerRuntime::kCrio, *id};
  // LXC 4 and later: lxc.payload.NAME (its monitor: lxc.monitor.NAME); before,
  // /lxc/NAME.
  if (name.starts_with("lxc.payload.") && IsLxcName(name.substr(12)))
    return ContainerRef{ContainerRuntime::kLxc, std::string(name.substr(12))};
  if (i == 1 && previous == "lxc" && IsLxcName(name)) return ContainerRef{ContainerRuntime::kLxc, std::string(name)};
  if (auto machine = NspawnMachine(name, next)) return ContainerRef{ContainerRuntime::kNspawn, *machine};
  return std::nullopt;
}

}  // namespace

std::string_view RuntimeName(ContainerRuntime runtime) {
  switch (runtime) {
    case ContainerRuntime::kDocker: return "docker";
    case ContainerRuntime::kPodman: return "podman";
    case ContainerRuntime::kContainerd: return "containerd";
    case ContainerRuntime::kCrio: return "cri-o";
    case ContainerRuntime::kLxc: return "lxc";
    case ContainerRuntime::kNspawn: return "nspawn";
  }
  return {};
}

bool IsContainerId(std::string_view text) {
  if (text.size() != kIdLength) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::optional<ContainerRef> ContainerOfCgroup(std::string_view cgroup_path) {
  const std::vector<std::string_view> names = CgroupPathNames(cgroup_path);
  std::optional<ContainerRef> innermost;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (auto found = ContainerAt(names, i)) innermost = std::move(found);
  }
  return innermost;
}

}  // namespace proclens::linux_port
