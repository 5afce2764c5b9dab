#pragma once
// Programs inside a running AppImage. Nothing installed them: the image is a
// file that the user started, mounted for the run. A program counts as the
// AppImage's when it lies on a FUSE mount and a process of the user who
// mounted it names that mount as its APPDIR; the environment alone is not
// enough, because any process may set APPDIR to a package's folder. The image
// is named only when it is the one mounted: an AppImage's runtime is its own
// FUSE server, so a process of that user runs the very file APPIMAGE names
// and holds the FUSE device open for that mount's connection. Otherwise the
// program runs from a file system that its user mounted, and no more is said.

#include <optional>
#include <string>

#include "platform/linux/origins/appimage/appimage_run.h"
#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

class AppImageOrigin : public ProgramOrigin {
 public:
  // proc_root: where the process folders are; mountinfo: the mount table of
  // the namespace whose paths the questions use.
  explicit AppImageOrigin(std::string proc_root = "/proc", std::string mountinfo = "/proc/self/mountinfo");

  std::optional<std::string> InstallerOf(const ProgramFile& file) override;
  OriginTexts Describe(const ProgramFile& file, bool german) override;
  std::optional<std::string> ApplicationIcon(const ProgramFile& file) override;
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) override;

 private:
  struct Run {
    AppImageRun names;          // as the process's environment gives them
    bool image_mounted = false;  // whether names.appimage is the image mounted at names.appdir
    std::uint32_t user_id = 0;   // who mounted it
  };
  // The run whose mount holds the file: the process's own environment, or
  // for a file named by the user (pid 0), that of a process of the mount's
  // owner that runs from the same mount.
  std::optional<Run> RunOf(const ProgramFile& file);
  std::optional<Run> RunOfProcess(std::uint32_t pid, const Mount& mount);
  // Whether a process of the mount's user serves it from the image file (see above).
  bool ImageServesMount(const std::string& image, const Mount& mount);

  std::string proc_root_;
  MountTable mounts_;
  // The last answer: each question about a file is followed by the others.
  std::string last_path_;
  std::uint32_t last_pid_ = 0;
  std::optional<Run> last_run_;
  bool asked_ = false;
};

}  // namespace proclens::linux_port
