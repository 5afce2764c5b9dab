#include "platform/linux/base/kept_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/base/real_path.h"

namespace proclens::linux_port {
namespace {

// A link to a link to a folder is still a folder; a chain longer than this
// is no folder a package names.
constexpr int kMostLinkedFolders = 8;

bool Kept(const struct stat& folder, bool viewer_counts) {
  if (folder.st_uid != 0 && (!viewer_counts || folder.st_uid != ::geteuid())) return false;
  if ((folder.st_mode & S_ISVTX) != 0) return true;
  if ((folder.st_mode & S_IWOTH) != 0) return false;
  // Root's own group writing is root's word; any other group is other users.
  return (folder.st_mode & S_IWGRP) == 0 || folder.st_gid == 0;
}

bool FoldersKept(std::string_view path, int links_left, bool viewer_counts) {
  if (!path.starts_with('/')) return false;
  std::size_t end = 0;  // the folder so far is path[0, end], "/" first
  for (;;) {
    const std::string folder(path.substr(0, end == 0 ? 1 : end));
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) {
      // The link itself can only be replaced by whoever may write the folder
      // that holds it, which was judged already; where it leads is judged now.
      const auto target = RealPathOf(folder);
      if (!target || links_left == 0 || !FoldersKept(*target + "/", links_left - 1, viewer_counts)) return false;
    } else if (!S_ISDIR(st.st_mode) || !Kept(st, viewer_counts)) {
      return false;
    }
    const std::size_t next = path.find('/', end + 1);
    if (next == std::string_view::npos) return true;
    end = next;
  }
}

}  // namespace

bool FoldersKeptByRootOrViewer(std::string_view path) { return FoldersKept(path, kMostLinkedFolders, true); }

bool FoldersKeptByRoot(std::string_view path) { return FoldersKept(path, kMostLinkedFolders, false); }

bool IsKeptByRoot(const struct stat& file) {
  return file.st_uid == 0 && (file.st_mode & S_IWOTH) == 0 && ((file.st_mode & S_IWGRP) == 0 || file.st_gid == 0);
}

UniqueFd OpenWithoutLinks(const std::string& path) {
  if (!path.starts_with('/')) return UniqueFd();
  UniqueFd at(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::size_t start = 1;
  while (at.valid()) {
    const std::size_t slash = path.find('/', start);
    const std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (name.empty() || name == "." || name == "..") return UniqueFd();
    const bool last = slash == std::string::npos || slash + 1 == path.size();
    const int flags = O_PATH | O_NOFOLLOW | O_CLOEXEC | (last ? 0 : O_DIRECTORY);
    UniqueFd next(::openat(at.get(), name.c_str(), flags));
    if (last) return next;
    at = std::move(next);
    start = slash + 1;
  }
  return UniqueFd();
}

}  // namespace proclens::linux_port
