#include "platform/linux/linux_file_ops.h"

#include <sys/stat.h>

#include <memory>

#include "platform/linux/desktop/desktop_icon.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/proc/process_root.h"

namespace proclens::linux_port {

std::optional<FileEntry> LinuxFileOps::FindFirstFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const auto found = FuseQuestions::OfThisProgram().Ask<std::optional<FileEntry>>(
      path, [path]() -> std::optional<FileEntry> {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return std::nullopt;
        FileEntry entry;
        entry.is_directory = S_ISDIR(info.st_mode);
        entry.size = static_cast<std::uint64_t>(info.st_size);
        return entry;
      });
  // A FUSE file system that does not answer: the process runs a file there,
  // but its size is not known.
  if (!found) return FileEntry{};
  return *found;
}

std::optional<FileEntry> LinuxFileOps::FindFirstFileOf(std::uint32_t pid, const std::string& path) {
  if (IsMemoryFileLink(path)) {
    struct stat image {};
    if (::stat(("/proc/" + std::to_string(pid) + "/exe").c_str(), &image) != 0) return std::nullopt;
    return FileEntry{false, static_cast<std::uint64_t>(image.st_size)};
  }
  const ProcessRoot root = RootOfProcess(pid);
  return FindFirstFile(ThroughRoot(root, path));
}

ExtractedIcons LinuxFileOps::ExtractIconsOf(std::uint32_t pid, const std::string& path) {
  if (!IsMemoryFileLink(path) && !RootOfProcess(pid).own) return ExtractIcons(path);
  ExtractedIcons icons;
  // Only the icon that the root's own package gives, through that root.
  const auto icon = origins_ != nullptr ? origins_->ApplicationIcon(ProgramFile{path, pid, true}) : std::nullopt;
  if (!icon || IsMemoryFileLink(path)) return icons;
  icons.count = 1;
  icons.large = std::make_unique<DesktopIcon>(*icon);
  icons.small = std::make_unique<DesktopIcon>(*icon);
  return icons;
}

void LinuxFileOps::RereadIconsIfFoldersChanged() {
  if (!icon_index_ || !icon_folders_ || !icon_folders_->Changed()) return;
  icon_index_.reset();
  icon_by_path_.clear();
}

std::optional<std::string> LinuxFileOps::IconOf(const std::string& path) {
  if (!icon_index_) {
    // Stamped first: a change while the entries are read shows at the next check.
    icon_folders_ = ApplicationsFoldersStamp::Take();
    icon_index_ = DesktopIconIndex::Load();
  }
  auto known = icon_by_path_.find(path);
  if (known == icon_by_path_.end()) known = icon_by_path_.emplace(path, icon_index_->IconFor(path)).first;
  if (known->second || origins_ == nullptr) return known->second;
  // Not kept with the path: the package's icon is asked for only once
  // package icons are used, and the catalog keeps it per package.
  const auto file = ProgramFileAt(path, 0);
  return file ? origins_->ApplicationIcon(*file) : std::nullopt;
}

ExtractedIcons LinuxFileOps::ExtractIcons(const std::string& path) {
  const std::optional<std::string> serialized = IconOf(path);
  ExtractedIcons icons;
  if (!serialized) return icons;
  icons.count = 1;
  icons.large = std::make_unique<DesktopIcon>(*serialized);
  icons.small = std::make_unique<DesktopIcon>(*serialized);
  return icons;
}

}  // namespace proclens::linux_port
