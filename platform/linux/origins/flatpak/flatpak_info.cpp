#include "platform/linux/origins/flatpak/flatpak_info.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/desktop/key_file.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/base/unique_fd.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

// Flatpak writes a few hundred bytes; the sandbox's owner could put anything there.
constexpr std::size_t kInfoLimit = 64 * 1024;
// KIND/ID/ARCH/BRANCH/COMMIT/files/: the folders between an installation and a deployed file.
constexpr std::size_t kRefDepth = 5;
// origin, commit, subpaths, installed size, metadata
constexpr char kDeployDataType[] = "(ssasta{sv})";

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

struct VariantUnref {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

// The next folder name of path from pos, and pos moved past it and its slash.
std::string_view NextName(std::string_view path, std::size_t& pos) {
  const std::size_t end = path.find('/', pos);
  if (end == std::string_view::npos) {
    pos = path.size();
    return {};
  }
  const std::string_view name = path.substr(pos, end - pos);
  pos = end + 1;
  return name;
}

bool IsFilesFolder(const std::string& folder, const std::vector<std::string>& installations) {
  const auto deployment = DeploymentOfPath(folder + "/.", installations);
  return deployment && deployment->ref_folder + "/files" == folder;
}

}  // namespace

std::optional<FlatpakDeployment> DeploymentOfPath(std::string_view path, const std::vector<std::string>& installations) {
  for (std::size_t i = 0; i < installations.size(); ++i) {
    const std::string& installation = installations[i];
    if (path.size() <= installation.size() + 1 || !path.starts_with(installation) || path[installation.size()] != '/')
      continue;
    std::size_t pos = installation.size() + 1;
    const std::string_view kind = NextName(path, pos);
    if (kind != "app" && kind != "runtime") return std::nullopt;
    const std::string_view id = NextName(path, pos);
    for (std::size_t depth = 2; depth < kRefDepth; ++depth) {
      if (NextName(path, pos).empty()) return std::nullopt;
    }
    const std::size_t ref_end = pos - 1;
    if (id.empty() || NextName(path, pos) != "files" || pos >= path.size()) return std::nullopt;
    FlatpakDeployment deployment;
    deployment.installation = i;
    deployment.ref_folder = std::string(path.substr(0, ref_end));
    deployment.id = std::string(id);
    deployment.is_app = kind == "app";
    return deployment;
  }
  return std::nullopt;
}

bool MadeByFlatpak(const FlatpakInstance& instance, const std::vector<std::string>& installations) {
  if (instance.app_path.empty() && instance.runtime_path.empty()) return false;
  for (const std::string* folder : {&instance.app_path, &instance.runtime_path}) {
    if (folder->empty()) continue;
    const auto real = RealPathOf(*folder);
    if (!real || !IsFilesFolder(*real, installations)) return false;
  }
  return true;
}

std::optional<FlatpakInstance> ParseFlatpakInfo(std::string_view bytes) {
  const auto keys = KeyFile::Parse(bytes);
  if (!keys) return std::nullopt;
  FlatpakInstance instance;
  instance.name = keys->Get("Application", "name");
  if (instance.name.empty()) instance.name = keys->Get("Runtime", "name");
  if (instance.name.empty()) return std::nullopt;
  instance.app_path = keys->Get("Instance", "app-path");
  instance.runtime_path = keys->Get("Instance", "runtime-path");
  return instance;
}

std::optional<FlatpakInstance> ReadFlatpakInstance(int proc_fd, std::uint32_t pid) {
  const std::string path = std::to_string(pid) + "/root/.flatpak-info";
  // Asked of every listed process: a test for the file costs the kernel less
  // than a failed open, and is all that an ordinary process costs.
  if (::faccessat(proc_fd, path.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  // The file lies at the sandbox's root, so refusing a link there keeps the
  // read inside the sandbox: a link would be followed from our own root.
  UniqueFd fd(::openat(proc_fd, path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return std::nullopt;
  const auto bytes = ReadOpenFile(fd.get(), kInfoLimit);
  if (!bytes) return std::nullopt;
  return ParseFlatpakInfo(*bytes);
}

std::vector<std::string> HostCandidates(const FlatpakInstance& instance, std::string_view sandbox_path) {
  std::vector<std::string> candidates;
  const auto mapped = [&](std::string_view mount, const std::string& host) {
    if (!host.empty() && host.front() == '/' && sandbox_path.starts_with(mount))
      candidates.push_back(host + std::string(sandbox_path.substr(mount.size() - 1)));
  };
  mapped("/app/", instance.app_path);
  mapped("/usr/", instance.runtime_path);
  candidates.emplace_back(sandbox_path);
  return candidates;
}

std::optional<std::string> SandboxedProgramOnHost(int proc_fd, std::uint32_t pid,
                                                  const FlatpakInstance& instance,
                                                  const std::string& exe_link,
                                                  const std::vector<std::string>& installations) {
  if (!MadeByFlatpak(instance, installations)) return exe_link;
  // A host path is shown only when it reaches the very file that the process
  // runs; a deleted one has no name left for any path to reach.
  struct stat running {};
  const std::string exe = std::to_string(pid) + "/exe";
  if (::fstatat(proc_fd, exe.c_str(), &running, 0) != 0) return std::nullopt;
  if (running.st_nlink == 0) return exe_link;
  for (const std::string& candidate : HostCandidates(instance, exe_link)) {
    const auto real = RealPathOf(candidate);
    struct stat found {};
    if (real && ::stat(real->c_str(), &found) == 0 && SameFile(found, running)) return real;
  }
  return std::nullopt;
}

std::vector<std::string> ConfiguredRemotes(std::string_view repo_config) {
  std::vector<std::string> remotes;
  const auto keys = KeyFile::Parse(repo_config);
  if (!keys) return remotes;
  // Each remote is a group [remote "NAME"].
  for (const std::string& group : keys->Groups()) {
    constexpr std::string_view kStart = "remote \"";
    if (group.size() > kStart.size() + 1 && group.starts_with(kStart) && group.back() == '"')
      remotes.push_back(group.substr(kStart.size(), group.size() - kStart.size() - 1));
  }
  return remotes;
}

std::string DeployedOrigin(std::string_view deploy_data) {
  // GVariant reads serialised data that it does not trust without reading
  // outside it; malformed data gives empty strings.
  GBytes* bytes = g_bytes_new(deploy_data.data(), deploy_data.size());
  VariantPtr data(g_variant_ref_sink(
      g_variant_new_from_bytes(G_VARIANT_TYPE(kDeployDataType), bytes, FALSE)));
  g_bytes_unref(bytes);
  VariantPtr origin(g_variant_get_child_value(data.get(), 0));
  return g_variant_get_string(origin.get(), nullptr);
}

}  // namespace proclens::linux_port
