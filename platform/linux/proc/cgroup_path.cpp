#include "platform/linux/proc/cgroup_path.h"

namespace proclens::linux_port {
namespace {

// "ID:CONTROLLERS:PATH"; the path may itself hold ':'.
struct CgroupLine {
  std::string_view controllers;
  std::string_view path;
};

std::optional<CgroupLine> SplitLine(std::string_view line) {
  const std::size_t first = line.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = line.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  return CgroupLine{line.substr(first + 1, second - first - 1), line.substr(second + 1)};
}

bool IsHierarchyZero(std::string_view line) { return line.starts_with("0:"); }

}  // namespace

std::optional<std::string> ProcessCgroupPath(std::string_view cgroup_text) {
  std::optional<std::string> unified;
  std::optional<std::string> named_systemd;
  while (!cgroup_text.empty()) {
    const std::size_t end = cgroup_text.find('\n');
    const std::string_view line = cgroup_text.substr(0, end);
    cgroup_text.remove_prefix(end == std::string_view::npos ? cgroup_text.size() : end + 1);
    const auto split = SplitLine(line);
    if (!split || !split->path.starts_with('/')) continue;
    if (IsHierarchyZero(line) && split->controllers.empty() && !unified) unified = std::string(split->path);
    if (split->controllers == "name=systemd" && !named_systemd) named_systemd = std::string(split->path);
  }
  const auto chosen = ChosenCgroupPath(unified, named_systemd);
  return chosen ? std::optional<std::string>(*chosen) : std::nullopt;
}

std::optional<std::string_view> ChosenCgroupPath(std::optional<std::string_view> unified,
                                                 std::optional<std::string_view> named_systemd) {
  // The kernel names the unified root for every process even where nothing
  // manages that hierarchy (systemd on cgroup v1 alone): the root says
  // nothing, and the named hierarchy then holds the units.
  if (unified && (*unified != "/" || !named_systemd)) return unified;
  return named_systemd;
}

std::vector<std::string_view> CgroupPathNames(std::string_view path) {
  std::vector<std::string_view> names;
  while (!path.empty()) {
    const std::size_t start = path.find_first_not_of('/');
    if (start == std::string_view::npos) break;
    path.remove_prefix(start);
    const std::size_t end = path.find('/');
    names.push_back(path.substr(0, end));
    path.remove_prefix(end == std::string_view::npos ? path.size() : end);
  }
  return names;
}

}  // namespace proclens::linux_port
