#pragma once
// Files through stat, and icons from the desktop entries that run them.

#include <map>
#include <optional>
#include <string>

#include "platform/file_ops.h"
#include "platform/linux/desktop_icon_index.h"

namespace proclens::linux_port {

class LinuxFileOps : public FileOps {
 public:
  // stat, following links; nullopt when there is nothing of that name.
  std::optional<FileEntry> FindFirstFile(const std::string& path) override;
  // One DesktopIcon in both sizes when a desktop entry runs the file, count 0 otherwise.
  ExtractedIcons ExtractIcons(const std::string& path) override;

 private:
  // Read at the first icon asked for, then kept: one reading per list fill.
  std::optional<DesktopIconIndex> icon_index_;
  // Many processes run the same few programs; each path is resolved once.
  std::map<std::string, std::optional<std::string>> icon_by_path_;
};

}  // namespace proclens::linux_port
