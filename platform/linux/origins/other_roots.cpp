#include "platform/linux/origins/other_roots.h"

#include <sys/stat.h>

#include "platform/linux/base/user_names.h"
#include "platform/linux/origins/program_origins.h"
#include "platform/linux/proc/mount_info.h"
#include "platform/linux/proc/overlay_upper.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kMountInfoLimit = 16u << 20;

// The package databases that a root may hold, below it.
constexpr const char* kDatabases[] = {"var/lib/dpkg/status", "var/lib/dpkg/status.d", "var/lib/dpkg/info",
                                      "lib/apk/db/installed", "var/lib/rpm", "usr/lib/sysimage/rpm"};

// The first user other than root who owns the root, the file or a database
// in it, as this side sees them.
std::optional<std::uint32_t> UserOtherThanRoot(const std::string& root, const std::string& path) {
  std::vector<std::string> owned = {root, root + "/" + path};
  for (const char* database : kDatabases) owned.push_back(root + "/" + database);
  for (const std::string& name : owned) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0 && st.st_uid != 0) return st.st_uid;
  }
  return std::nullopt;
}

bool Alive(const std::string& proc_root, std::uint32_t pid, const ProcessRoot& root) {
  const ProcessRoot now = RootOfProcess(pid, proc_root);
  return now.own && now.device == root.device && now.inode == root.inode;
}

}  // namespace

OtherRoots::OtherRoots(SourcesForRoot sources, std::string proc_root)
    : sources_(std::move(sources)), proc_root_(std::move(proc_root)) {}
OtherRoots::~OtherRoots() = default;
OtherRoots::OtherRoots(OtherRoots&&) noexcept = default;
OtherRoots& OtherRoots::operator=(OtherRoots&&) noexcept = default;

ProgramOrigins* OtherRoots::ChainOf(const ProgramFile& file, ProcessRoot& root) {
  root = ProcessRoot{};
  if (!sources_ || file.pid == 0) return nullptr;
  root = RootOfProcess(file.pid, proc_root_);
  if (!root.own) return nullptr;
  Chain& chain = chains_[{root.device, root.inode}];
  // The sources read through one process's /proc entry: when it has ended,
  // another of the same root takes its place.
  if (!chain.origins || (chain.pid != file.pid && !Alive(proc_root_, chain.pid, root))) {
    chain.pid = file.pid;
    chain.origins = std::make_unique<ProgramOrigins>(sources_(root.path + "/"));
  }
  return chain.origins.get();
}

bool OtherRoots::Trusted(const ProgramFile& file, const ProcessRoot& root) const {
  return !UserOtherThanRoot(root.path, file.path);
}

FileCheck OtherRoots::Judge(const ProgramFile& file, const ProcessRoot& root, FileCheck check) {
  check.authority = CheckAuthority::kContainer;
  if (const auto user = UserOtherThanRoot(root.path, file.path)) {
    // Whichever package its database names, that name is the user's word.
    check.state = file_state::kUntrustedRoot;
    check.package.clear();
    check.authority_user = UserName(*user);
    return check;
  }
  const auto mountinfo = ReadProcText(proc_root_ + std::to_string(file.pid) + "/mountinfo", kMountInfoLimit);
  const auto upper = mountinfo ? RootOverlayUpperDir(*mountinfo) : std::nullopt;
  struct stat written {};
  if (upper && ::lstat((*upper + file.path).c_str(), &written) == 0) check.state = file_state::kChangedInContainer;
  return check;
}

}  // namespace proclens::linux_port
