#include "bench/catalogue_floor.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <memory>

namespace proclens::bench {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

bool IsPidName(const char* name) {
  if (*name == '\0') return false;
  for (; *name != '\0'; ++name) {
    if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
  }
  return true;
}

// "PID/name", relative to the /proc descriptor: no printf, no absolute path
// for the kernel to walk again.
struct ProcPath {
  char text[sizeof(dirent::d_name) + 16];
  ProcPath(const char* pid, const char* name) {
    const std::size_t pid_length = std::strlen(pid);
    std::memcpy(text, pid, pid_length);
    text[pid_length] = '/';
    std::strcpy(text + pid_length + 1, name);
  }
};

bool ReadComm(int proc_fd, const char* pid, char* comm, std::size_t size) {
  const int fd = openat(proc_fd, ProcPath(pid, "comm").text, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const ssize_t got = read(fd, comm, size - 1);
  close(fd);
  if (got <= 0) return false;
  comm[got] = '\0';
  return true;
}

bool ExeTargetExists(int proc_fd, const char* pid) {
  char target[4096];
  const ssize_t length = readlinkat(proc_fd, ProcPath(pid, "exe").text, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  struct stat info;
  return stat(target, &info) == 0;
}

}  // namespace

FloorCount WalkProcFloor() {
  FloorCount count;
  std::unique_ptr<DIR, DirCloser> proc(opendir("/proc"));
  if (!proc) return count;
  while (const dirent* entry = readdir(proc.get())) {
    if (!IsPidName(entry->d_name)) continue;
    char comm[64];
    if (!ReadComm(dirfd(proc.get()), entry->d_name, comm, sizeof comm)) continue;
    ++count.processes;
    if (ExeTargetExists(dirfd(proc.get()), entry->d_name)) ++count.resolved;
  }
  return count;
}

}  // namespace proclens::bench
