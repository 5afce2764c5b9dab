#pragma once
// Helpers for the tests that run real containers: a busybox image made from
// this machine's busybox, a daemon started in the background with its own
// log, and a guard that leaves the host as it found it (what a runtime made
// outside the test's own folder, and its cgroups, removed again).

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/containers/container_reader.h"

namespace proclens::containers_live {

// A command's standard output and error, run with a time limit; status -1
// when it did not run or ran out of time.
struct Ran {
  int status = -1;
  std::string out;
};
Ran Shell(const std::string& command, int seconds = 60);

// A tar of a root holding busybox (as sh, sleep and touch) and an apk database
// that lists it with its SHA-1, as `podman import` and `docker import` take it.
std::filesystem::path BusyboxImage(const std::filesystem::path& dir);

// Removes, when it goes, what did not exist when it was made: the paths
// (with any mount below them unmounted first) and the cgroup folders of these
// names at the top of each cgroup hierarchy. Mounts below folder, the test's
// own, are unmounted too, so that removing it cannot reach through them.
class HostLeftovers {
 public:
  HostLeftovers(std::vector<std::string> paths, std::vector<std::string> cgroup_names, std::filesystem::path folder);
  ~HostLeftovers();
  HostLeftovers(const HostLeftovers&) = delete;
  HostLeftovers& operator=(const HostLeftovers&) = delete;

 private:
  std::vector<std::filesystem::path> new_paths_;
  std::vector<std::filesystem::path> new_cgroups_;
  std::filesystem::path folder_;
};

// A program run in the background, its output in log; stopped with SIGTERM
// (SIGKILL after a grace period) when it goes.
class Daemon {
 public:
  Daemon(const std::vector<std::string>& argv, const std::filesystem::path& log);
  ~Daemon() { Stop(); }
  Daemon(const Daemon&) = delete;
  Daemon& operator=(const Daemon&) = delete;
  void Stop();
  bool running();

 private:
  pid_t pid_ = -1;
};

// The last lines of a log, for a message.
std::string Tail(const std::filesystem::path& log);

// Checks what the readers and the upper-layer primitive say of a running
// container's process against what its runtime says: expected names the
// container, written is a file the test wrote inside the running container.
void ExpectRunningContainer(pid_t pid, std::unique_ptr<linux_port::ContainerStateReader> reader,
                            const linux_port::ContainerInfo& expected, const std::string& written);

}  // namespace proclens::containers_live
