#include "platform/linux/origins/appimage/appimage_origin.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "platform/linux/origins/bundled_texts.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/base/user_names.h"
#include "platform/linux/base/text.h"

namespace proclens::linux_port {
namespace {

// An environment holds a few kilobytes; the kernel allows far more.
constexpr std::size_t kEnvironLimit = 1u << 20;
constexpr std::size_t kFdInfoLimit = 4096;

struct CloseDir {
  void operator()(DIR* dir) const { ::closedir(dir); }
};


std::optional<std::uint32_t> PidOf(const char* name) {
  std::uint64_t pid = 0;
  if (*name == '\0') return std::nullopt;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || pid > UINT32_MAX / 10) return std::nullopt;
    pid = pid * 10 + static_cast<std::uint64_t>(*c - '0');
  }
  return static_cast<std::uint32_t>(pid);
}

// Calls each process identifier below proc_root until visit answers true.
template <typename Visit>
bool AnyProcess(const std::string& proc_root, Visit visit) {
  std::unique_ptr<DIR, CloseDir> proc(::opendir(proc_root.c_str()));
  while (proc) {
    const dirent* entry = ::readdir(proc.get());
    if (entry == nullptr) break;
    const auto pid = PidOf(entry->d_name);
    if (pid && visit(*pid)) return true;
  }
  return false;
}

// Whether the process holds the FUSE device open for the connection of that
// number (the kernel writes it into the descriptor's fdinfo), which is the
// minor device number of the mount it serves.
bool ServesConnection(const std::string& proc_root, std::uint32_t pid, std::uint32_t connection) {
  const std::string process = proc_root + "/" + std::to_string(pid);
  std::unique_ptr<DIR, CloseDir> folder(::opendir((process + "/fd").c_str()));
  const std::string wanted = "fuse_connection:\t" + std::to_string(connection) + "\n";
  while (folder) {
    const dirent* entry = ::readdir(folder.get());
    if (entry == nullptr) break;
    char target[32];
    const ssize_t got = ::readlinkat(::dirfd(folder.get()), entry->d_name, target, sizeof target);
    if (got != 9 || std::string_view(target, 9) != "/dev/fuse") continue;
    const auto info = ReadProcText(process + "/fdinfo/" + entry->d_name, kFdInfoLimit);
    if (info && info->find(wanted) != std::string::npos) return true;
  }
  return false;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

AppImageOrigin::AppImageOrigin(std::string proc_root, std::string mountinfo)
    : proc_root_(std::move(proc_root)), mounts_(std::move(mountinfo)) {}

bool AppImageOrigin::ImageServesMount(const std::string& image, const Mount& mount) {
  struct stat image_file {};
  if (mount.device_major != 0 || ::stat(image.c_str(), &image_file) != 0 || !S_ISREG(image_file.st_mode))
    return false;
  return AnyProcess(proc_root_, [&](std::uint32_t server) {
    const std::string folder = proc_root_ + "/" + std::to_string(server);
    struct stat owner {};
    struct stat runs {};
    if (::stat(folder.c_str(), &owner) != 0 || owner.st_uid != *mount.user_id) return false;
    if (::stat((folder + "/exe").c_str(), &runs) != 0 || !SameFile(runs, image_file)) return false;
    return ServesConnection(proc_root_, server, mount.device_minor);
  });
}

std::optional<AppImageOrigin::Run> AppImageOrigin::RunOfProcess(std::uint32_t pid, const Mount& mount) {
  const std::string folder = proc_root_ + "/" + std::to_string(pid);
  struct stat owner {};
  if (::stat(folder.c_str(), &owner) != 0 || owner.st_uid != *mount.user_id) return std::nullopt;
  const auto environ = ReadProcText(folder + "/environ", kEnvironLimit);
  if (!environ) return std::nullopt;
  auto names = ParseAppImageEnviron(*environ);
  if (!names || names->appdir != mount.mount_point) return std::nullopt;
  Run run{*names, false, *mount.user_id};
  run.image_mounted = ImageServesMount(names->appimage, mount);
  return run;
}

std::optional<AppImageOrigin::Run> AppImageOrigin::RunOf(const ProgramFile& file) {
  // A program on no FUSE mount is answered by the mount table alone.
  const Mount* mount = MountHolding(mounts_.Current(), file.path);
  if (mount == nullptr || !mount->fuse || !mount->user_id) return std::nullopt;
  if (asked_ && last_path_ == file.path && last_pid_ == file.pid) return last_run_;
  std::optional<Run> run;
  if (file.pid != 0) run = RunOfProcess(file.pid, *mount);
  // A program named by path, or one started without the variables: any
  // process of the same run tells.
  if (!run) {
    AnyProcess(proc_root_, [&](std::uint32_t pid) {
      if (pid != file.pid) run = RunOfProcess(pid, *mount);
      return run.has_value();
    });
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
  return run->image_mounted ? run->names.appimage : run->names.appdir;
}

OriginTexts AppImageOrigin::Describe(const ProgramFile& file, bool german) {
  const auto run = RunOf(file);
  if (!run) return {};
  // The texts lie on the FUSE mount, whose server may not answer.
  OriginTexts texts = FuseQuestions::OfThisProgram()
                          .Ask<OriginTexts>(run->names.appdir,
                                            [appdir = run->names.appdir, program = std::string(BaseName(file.path)), german] {
                                              OriginTexts found;
                                              if (const auto metainfo = MetainfoInFolder(
                                                      appdir + "/usr/share/metainfo", program, german)) {
                                                OverlayMetainfo(found, *metainfo);
                                                return found;
                                              }
                                              // An AppDir holds its one desktop entry at its top.
                                              for (const std::string& name : NamesInFolder(appdir, ".desktop")) {
                                                if (const auto entry = ReadDesktopTexts(appdir + "/" + name, german)) {
                                                  found.description = entry->comment;
                                                  found.product = entry->name;
                                                  break;
                                                }
                                              }
                                              return found;
                                            })
                          .value_or(OriginTexts{});
  if (texts.product.empty()) texts.product = BaseName(run->image_mounted ? run->names.appimage : run->names.appdir);
  return texts;
}

std::optional<std::string> AppImageOrigin::ApplicationIcon(const ProgramFile& file) {
  const auto run = RunOf(file);
  if (!run) return std::nullopt;
  // .DirIcon is mostly a link to a picture in the AppDir; one that leads out
  // of the image is not the image's icon.
  return FuseQuestions::OfThisProgram()
      .Ask<std::optional<std::string>>(run->names.appdir,
                                       [appdir = run->names.appdir]() -> std::optional<std::string> {
                                         const auto icon = RealPathOf(appdir + "/.DirIcon");
                                         if (!icon || !icon->starts_with(appdir + "/") || !IsRegularFile(*icon))
                                           return std::nullopt;
                                         return icon;
                                       })
      .value_or(std::nullopt);
}

FileCheck AppImageOrigin::Check(const ProgramFile& file, int /*image*/, std::uint64_t /*size_limit*/) {
  FileCheck check;
  // No package system installed it; the page names the image it came from,
  // or the user whose mount it is.
  check.state = file_state::kNoPackage;
  if (const auto run = RunOf(file)) {
    if (run->image_mounted) {
      check.package = run->names.appimage;
    } else {
      check.authority = CheckAuthority::kUserMount;
      check.authority_user = UserName(run->user_id);
    }
  }
  return check;
}

}  // namespace proclens::linux_port
