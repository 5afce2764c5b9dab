#include "platform/linux/proc/cgroup_members.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>

#include "platform/linux/base/unique_fd.h"
#include "platform/linux/proc/cgroup_path.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kFolderLimit = 4096;
constexpr std::size_t kProcsLimit = 4u << 20;

void AddMembers(std::string_view procs, std::size_t group, CgroupMembers& members) {
  const char* next = procs.data();
  const char* const end = procs.data() + procs.size();
  while (next < end) {
    std::uint32_t pid = 0;
    const auto [rest, ec] = std::from_chars(next, end, pid);
    // A process of another pid namespace is listed as 0.
    if (ec == std::errc() && pid != 0) members.Add(pid, group);
    next = rest == next ? next + 1 : rest;
  }
}

// The names of the folders in folder.
std::optional<std::vector<std::string>> SubFolders(int folder) {
  const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return std::nullopt;
  DIR* dir = ::fdopendir(listing);
  if (dir == nullptr) {
    ::close(listing);
    return std::nullopt;
  }
  std::vector<std::string> names;
  while (const dirent* item = ::readdir(dir)) {
    const std::string_view name = item->d_name;
    if (item->d_type == DT_DIR && name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

std::string Joined(const std::string& path, const std::string& name) {
  std::string joined = path;
  if (!joined.ends_with('/')) joined += '/';
  joined += name;
  return joined;
}

}  // namespace

const std::string* CgroupMembers::GroupOf(std::uint32_t pid) const {
  const auto found = group_of_.find(pid);
  if (found == group_of_.end()) return rest_ ? &groups_[*rest_] : nullptr;
  return found->second == kListedTwice ? nullptr : &groups_[found->second];
}

void CgroupMembers::Add(std::uint32_t pid, std::size_t group) {
  const auto [at, added] = group_of_.emplace(pid, static_cast<std::uint32_t>(group));
  if (!added && at->second != group) at->second = kListedTwice;
}

std::size_t CgroupMembers::AddGroup(std::string path) {
  groups_.push_back(std::move(path));
  return groups_.size() - 1;
}

std::optional<CgroupMembers> ReadCgroupMembers(const Mount& mount, std::size_t folder_limit) {
  CgroupMembers members;
  struct Pending {
    UniqueFd folder;
    std::string path;
  };
  std::vector<Pending> pending;
  pending.push_back({UniqueFd(::open(mount.mount_point.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)),
                     mount.root.empty() ? "/" : mount.root});
  std::size_t walked = 0;
  while (!pending.empty()) {
    Pending here = std::move(pending.back());
    pending.pop_back();
    if (!here.folder.valid() || ++walked > folder_limit) return std::nullopt;
    const std::size_t group = members.AddGroup(here.path);
    const bool whole_root = walked == 1 && here.path == "/";
    const auto procs = whole_root ? std::optional<std::string>("") : ReadProcTextAt(here.folder.get(), "cgroup.procs", kProcsLimit);
    const auto names = SubFolders(here.folder.get());
    if (!procs || !names) return std::nullopt;
    if (whole_root) members.TakeTheRestAs(group);
    AddMembers(*procs, group, members);
    for (const std::string& name : *names) {
      pending.push_back({UniqueFd(::openat(here.folder.get(), name.c_str(),
                                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)),
                         Joined(here.path, name)});
    }
  }
  return members;
}

std::optional<CgroupPaths> CgroupPaths::Read(const std::vector<Mount>& mounts, std::string_view self_text,
                                             std::uint32_t self_pid) {
  const auto walked = [&mounts](std::string_view hierarchy) -> std::optional<CgroupMembers> {
    for (const Mount& mount : mounts) {
      if (mount.cgroup_hierarchy == hierarchy) return ReadCgroupMembers(mount, kFolderLimit);
    }
    return std::nullopt;
  };
  const auto self_names = [self_text](std::string_view hierarchy_line) {
    return self_text.starts_with(hierarchy_line) ||
           self_text.find("\n" + std::string(hierarchy_line)) != std::string_view::npos;
  };
  CgroupPaths paths;
  if (self_names("0::") && !(paths.unified_ = walked("0"))) return std::nullopt;
  if (self_text.find(":name=systemd:") != std::string_view::npos &&
      !(paths.named_systemd_ = walked("name=systemd")))
    return std::nullopt;
  const auto own = ProcessCgroupPath(self_text);
  if (!own || paths.PathOf(self_pid) != own) return std::nullopt;
  return paths;
}

std::optional<std::string> CgroupPaths::PathOf(std::uint32_t pid) const {
  // The same rule as for a process's own file, on the lines it would hold.
  std::optional<std::string_view> unified, named_systemd;
  for (const auto& [members, path] : {std::pair(&unified_, &unified), std::pair(&named_systemd_, &named_systemd)}) {
    if (!*members) continue;
    const std::string* group = (*members)->GroupOf(pid);
    if (group == nullptr) return std::nullopt;
    *path = *group;
  }
  const auto chosen = ChosenCgroupPath(unified, named_systemd);
  return chosen ? std::optional<std::string>(*chosen) : std::nullopt;
}

}  // namespace proclens::linux_port
