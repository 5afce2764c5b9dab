#include "bench/catalogue_floor.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
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

bool ReadComm(const char* pid, char* comm, std::size_t size) {
  char path[sizeof(dirent::d_name) + 16];
  std::snprintf(path, sizeof path, "/proc/%s/comm", pid);
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const ssize_t got = read(fd, comm, size - 1);
  close(fd);
  if (got <= 0) return false;
  comm[got] = '\0';
  return true;
}

bool ExeTargetExists(const char* pid) {
  char link[sizeof(dirent::d_name) + 16];
  std::snprintf(link, sizeof link, "/proc/%s/exe", pid);
  char target[4096];
  const ssize_t length = readlink(link, target, sizeof target - 1);
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
    if (!ReadComm(entry->d_name, comm, sizeof comm)) continue;
    ++count.processes;
    if (ExeTargetExists(entry->d_name)) ++count.resolved;
  }
  return count;
}

}  // namespace proclens::bench
