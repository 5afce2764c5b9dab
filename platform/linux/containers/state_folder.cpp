#include "platform/linux/containers/state_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "platform/linux/base/unique_fd.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Non-blocking: a FIFO opened for reading would otherwise wait for a writer.
constexpr int kFileFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// The names of relative, outermost first; nullopt when one is empty, "." or "..".
std::optional<std::vector<std::string>> NamesOf(std::string_view relative) {
  std::vector<std::string> names;
  while (!relative.empty()) {
    const std::size_t end = relative.find('/');
    const std::string_view name = relative.substr(0, end);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    names.emplace_back(name);
    relative.remove_prefix(end == std::string_view::npos ? relative.size() : end + 1);
  }
  return names;
}

// Opens names below folder one at a time, the last with last_flags, the others
// as folders; O_NOFOLLOW refuses every link (ELOOP, or ENOTDIR for a folder).
UniqueFd OpenBelow(const std::string& folder, const std::vector<std::string>& names, int last_flags) {
  UniqueFd at(::open(folder.c_str(), kFolderFlags & ~O_NOFOLLOW));
  for (std::size_t i = 0; at.valid() && i < names.size(); ++i)
    at = UniqueFd(::openat(at.get(), names[i].c_str(), i + 1 == names.size() ? last_flags : kFolderFlags));
  return at;
}

}  // namespace

std::optional<std::string> StateFolder::ReadFile(std::string_view relative, std::size_t limit) const {
  const auto names = NamesOf(relative);
  if (!names || names->empty()) return std::nullopt;
  const UniqueFd file = OpenBelow(path_, *names, kFileFlags);
  if (!file.valid()) return std::nullopt;
  return ReadOpenFile(file.get(), limit);
}

std::vector<std::string> StateFolder::FolderNames(std::string_view relative, std::size_t limit) const {
  std::vector<std::string> folders;
  const auto names = NamesOf(relative);
  if (!names) return folders;
  const UniqueFd folder = OpenBelow(path_, *names, kFolderFlags);
  if (!folder.valid()) return folders;
  // The stream takes a descriptor of its own, which it closes.
  const int listed = ::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0);
  if (listed < 0) return folders;
  struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  std::unique_ptr<DIR, CloseDir> dir(::fdopendir(listed));
  if (!dir) {
    ::close(listed);
    return folders;
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) continue;
    folders.emplace_back(name);
    if (folders.size() >= limit) break;
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

}  // namespace proclens::linux_port
