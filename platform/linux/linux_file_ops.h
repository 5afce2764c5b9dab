#pragma once
// Files through stat, and icons from the desktop entries that run them or,
// once asked to, that their packages install.

#include <map>
#include <optional>
#include <string>

#include "platform/file_ops.h"
#include "platform/linux/desktop/applications_folders.h"
#include "platform/linux/desktop/desktop_icon_index.h"
#include "platform/linux/origins/program_origins.h"

namespace proclens::linux_port {

class LinuxFileOps : public FileOps {
 public:
  // stat, following links; nullopt when there is nothing of that name.
  std::optional<FileEntry> FindFirstFile(const std::string& path) override;
  // One DesktopIcon in both sizes when a desktop entry runs the file (or,
  // with package icons, its package installs one), count 0 otherwise.
  ExtractedIcons ExtractIcons(const std::string& path) override;
  // A process with a root of its own (a container) has its file below that
  // root, a program run from memory has its size in its image alone; neither
  // has a desktop entry of this system.
  std::optional<FileEntry> FindFirstFileOf(std::uint32_t pid, const std::string& path) override;
  ExtractedIcons ExtractIconsOf(std::uint32_t pid, const std::string& path) override;

  // From now on a file without a desktop entry of its own gets the icon of
  // one that its package installs. The package index is built for that, so a
  // window asks for it only once it has been used, not while it starts.
  void UsePackageIcons(ProgramOrigins& origins) { origins_ = &origins; }

  // Before a new fill of the list: when an applications folder changed since
  // the desktop entries were read (an application installed or removed
  // meanwhile), they are read again at the next icon asked for. Otherwise
  // the entries and the icons found so far are kept.
  void RereadIconsIfFoldersChanged();

 private:
  std::optional<std::string> IconOf(const std::string& path);

  ProgramOrigins* origins_ = nullptr;
  // Read at the first icon asked for, then kept until its folders change.
  std::optional<DesktopIconIndex> icon_index_;
  // The folders' state before the index was read from them.
  std::optional<ApplicationsFoldersStamp> icon_folders_;
  // Many processes run the same few programs; each path is resolved once.
  std::map<std::string, std::optional<std::string>> icon_by_path_;
};

}  // namespace proclens::linux_port
