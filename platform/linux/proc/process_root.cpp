#include "platform/linux/proc/process_root.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace proclens::linux_port {
namespace {

constexpr std::string_view kMemoryPrefix = "/memfd:";
constexpr std::string_view kDeletedMark = " (deleted)";

}  // namespace

ProcessRoot RootOfProcess(std::uint32_t pid, const std::string& proc_root) {
  static const struct stat ours = [] {
    struct stat st {};
    ::stat("/", &st);
    return st;
  }();
  ProcessRoot root;
  const std::string path = proc_root + std::to_string(pid) + "/root";
  struct stat theirs {};
  if (::stat(path.c_str(), &theirs) != 0) return root;
  root.own = theirs.st_dev != ours.st_dev || theirs.st_ino != ours.st_ino;
  if (!root.own) return root;
  root.path = path;
  root.device = theirs.st_dev;
  root.inode = theirs.st_ino;
  return root;
}

UniqueFd OpenInRoot(const std::string& root, const std::string& path) {
  UniqueFd at(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!at.valid()) return UniqueFd();
  open_how how{};
  how.flags = O_PATH | O_CLOEXEC;
  how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  const std::string relative = path.starts_with('/') ? path.substr(1) : path;
  return UniqueFd(static_cast<int>(::syscall(SYS_openat2, at.get(), relative.c_str(), &how, sizeof how)));
}

bool IsMemoryFileLink(std::string_view exe_link) {
  return exe_link.size() > kMemoryPrefix.size() + kDeletedMark.size() && exe_link.starts_with(kMemoryPrefix) &&
         exe_link.ends_with(kDeletedMark);
}

std::string MemoryFileName(std::string_view exe_link) {
  if (!IsMemoryFileLink(exe_link)) return {};
  return std::string(exe_link.substr(kMemoryPrefix.size(), exe_link.size() - kMemoryPrefix.size() - kDeletedMark.size()));
}

}  // namespace proclens::linux_port
