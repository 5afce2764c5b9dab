#include "platform/linux/origins/appimage_origin.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/linux/origins/bundled_texts.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/real_path.h"

namespace proclens::linux_port {
namespace {

// An environment holds a few kilobytes; the kernel allows far more.
constexpr std::size_t kEnvironLimit = 1u << 20;

struct CloseDir {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::optional<std::uint32_t> PidOf(const char* name) {
  std::uint64_t pid = 0;
  if (*name == '\0') return std::nullopt;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || pid > UINT32_MAX / 10) return std::nullopt;
    pid = pid * 10 + static_cast<std::uint64_t>(*c - '0');
  }
  return static_cast<std::uint32_t>(pid);
}

}  // namespace

AppImageOrigin::AppImageOrigin(std::string proc_root, std::string mountinfo)
    : proc_root_(std::move(proc_root)), mounts_(std::move(mountinfo)) {}

std::optional<AppImageRun> AppImageOrigin::RunOfProcess(std::uint32_t pid, const Mount& mount) {
  const std::string folder = proc_root_ + "/" + std::to_string(pid);
  struct stat owner {};
  if (::stat(folder.c_str(), &owner) != 0 || owner.st_uid != *mount.user_id) return std::nullopt;
  const auto environ = ReadProcText(folder + "/environ", kEnvironLimit);
  if (!environ) return std::nullopt;
  auto run = ParseAppImageEnviron(*environ);
  if (!run || run->appdir != mount.mount_point) return std::nullopt;
  return run;
}

std::optional<AppImageRun> AppImageOrigin::RunOf(const ProgramFile& file) {
  // A program on no FUSE mount is answered by the mount table alone.
  const Mount* mount = MountHolding(mounts_.Current(), file.path);
  if (mount == nullptr || !mount->fuse || !mount->user_id) return std::nullopt;
  if (asked_ && last_path_ == file.path && last_pid_ == file.pid) return last_run_;
  std::optional<AppImageRun> run;
  if (file.pid != 0) run = RunOfProcess(file.pid, *mount);
  if (!run) {
    // A program named by path, or one started without the variables: any
    // process of the same run tells.
    std::unique_ptr<DIR, CloseDir> proc(::opendir(proc_root_.c_str()));
    while (proc && !run) {
      const dirent* entry = ::readdir(proc.get());
      if (entry == nullptr) break;
      const auto pid = PidOf(entry->d_name);
      if (pid && *pid != file.pid) run = RunOfProcess(*pid, *mount);
    }
  }
  asked_ = true;
  last_path_ = file.path;
  last_pid_ = file.pid;
  last_run_ = run;
  return run;
}

std::optional<std::string> AppImageOrigin::InstallerOf(const ProgramFile& file) {
  const auto run = RunOf(file);
  if (!run) return std::nullopt;
  return run->appimage;
}

OriginTexts AppImageOrigin::Describe(const ProgramFile& file, bool german) {
  OriginTexts texts;
  const auto run = RunOf(file);
  if (!run) return texts;
  if (const auto metainfo = MetainfoInFolder(run->appdir + "/usr/share/metainfo", BaseName(file.path), german)) {
    OverlayMetainfo(texts, *metainfo);
  } else {
    // An AppDir holds its one desktop entry at its top.
    for (const std::string& name : NamesInFolder(run->appdir, ".desktop")) {
      if (const auto entry = ReadDesktopTexts(run->appdir + "/" + name, german)) {
        texts.description = entry->comment;
        texts.product = entry->name;
        break;
      }
    }
  }
  if (texts.product.empty()) texts.product = BaseName(run->appimage);
  return texts;
}

std::optional<std::string> AppImageOrigin::ApplicationIcon(const ProgramFile& file) {
  const auto run = RunOf(file);
  if (!run) return std::nullopt;
  // .DirIcon is mostly a link to a picture in the AppDir; one that leads out
  // of the image is not the image's icon.
  const auto icon = RealPathOf(run->appdir + "/.DirIcon");
  if (!icon || !icon->starts_with(run->appdir + "/") || !IsRegularFile(*icon)) return std::nullopt;
  return icon;
}

FileCheck AppImageOrigin::Check(const ProgramFile& file, int /*image*/, std::uint64_t /*size_limit*/) {
  FileCheck check;
  // No package system installed it; the page names the image it came from.
  check.state = file_state::kNoPackage;
  if (const auto run = RunOf(file)) check.package = run->appimage;
  return check;
}

}  // namespace proclens::linux_port
