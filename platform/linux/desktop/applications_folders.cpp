#include "platform/linux/desktop/applications_folders.h"

#include <dirent.h>
#include <glib.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

namespace proclens::linux_port {
namespace {

// Deeper trees and more folders than any data folder holds: the walk ends
// there whatever the file system looks like.
constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxFolders = 4096;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

// For file systems whose listings leave the kind of entry open.
bool IsFolderItself(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

std::vector<std::string> ApplicationsFolders() {
  std::vector<std::string> folders{std::string(g_get_user_data_dir()) + "/applications"};
  for (const char* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir)
    folders.push_back(std::string(*dir) + "/applications");
  return folders;
}

ApplicationsFoldersStamp::Folder ApplicationsFoldersStamp::StatFolder(const std::string& path) {
  Folder folder{path};
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    folder.exists = true;
    folder.modified = info.st_mtim;
  }
  return folder;
}

ApplicationsFoldersStamp ApplicationsFoldersStamp::Take(const std::vector<std::string>& roots) {
  ApplicationsFoldersStamp stamp;
  for (const std::string& root : roots) stamp.AddTree(root, 0);
  return stamp;
}

// Subfolders as the directory lists them: a link to a folder is not followed,
// so no loop of links can keep the walk going.
void ApplicationsFoldersStamp::AddTree(const std::string& path, int depth) {
  if (folders_.size() >= kMaxFolders) return;
  folders_.push_back(StatFolder(path));
  if (!folders_.back().exists || depth >= kMaxDepth) return;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
  if (!dir) return;
  while (const struct dirent* entry = ::readdir(dir.get())) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    const std::string child = path + "/" + entry->d_name;
    if (entry->d_type == DT_DIR || (entry->d_type == DT_UNKNOWN && IsFolderItself(child)))
      AddTree(child, depth + 1);
  }
}

bool ApplicationsFoldersStamp::Changed() const {
  for (const Folder& stamped : folders_) {
    const Folder now = StatFolder(stamped.path);
    if (now.exists != stamped.exists || (now.exists && !SameTime(now.modified, stamped.modified))) return true;
  }
  return false;
}

}  // namespace proclens::linux_port
