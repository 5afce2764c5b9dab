// Real containers, run by this machine's Podman and Docker with every state
// folder in the test's own: the readers, given the container process's real
// cgroup and the runtime's real state folder, name the container as its
// runtime does, and what the container wrote lies in its root's upper layer.
// Each test removes its container and image, stops what it started and
// removes what the runtime left on the host, also when it fails.

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "linux/containers/container_test_support.h"
#include "linux/containers/live/live_runtime.h"
#include "linux/live_process.h"
#include "platform/linux/containers/docker/docker_reader.h"
#include "platform/linux/containers/podman/podman_reader.h"

namespace proclens::containers_live {
namespace {

namespace fs = std::filesystem;
using linux_port::ContainerInfo;
using linux_port::ContainerRuntime;

constexpr char kWritten[] = "/tmp/written-inside";

std::string ContainerName() { return "proclens-live-" + std::to_string(::getpid()); }

// A limit for the container within the host's own (runc refuses to raise one).
std::string Ulimit(const char* name, int resource) {
  rlimit limit{};
  ::getrlimit(resource, &limit);
  const rlim_t value = std::min<rlim_t>(limit.rlim_max, 1024);
  return std::string(" --ulimit ") + name + "=" + std::to_string(value) + ":" + std::to_string(value);
}

// "PID ID" as the runtime's inspect prints it.
struct Started {
  pid_t pid = -1;
  std::string id;
};
Started Inspect(const std::string& runtime, const std::string& name) {
  const Ran inspected = Shell(runtime + " inspect --format {{.State.Pid}}:{{.Id}} " + name);
  Started started;
  const std::size_t colon = inspected.out.find(':');
  if (inspected.status != 0 || colon == std::string::npos) return started;
  started.pid = static_cast<pid_t>(std::stol(inspected.out.substr(0, colon)));
  started.id = inspected.out.substr(colon + 1, 64);
  return started;
}

// Removes the test's container and image while the runtime still runs.
struct Removal {
  std::string runtime;
  std::string name;
  std::string image;
  std::string remove = " rm -f ";  // Podman's waits ten seconds for a PID 1 that ignores SIGTERM without -t 0
  ~Removal() {
    Shell(runtime + remove + name);
    Shell(runtime + " rmi -f " + image);
  }
};

bool Installed(std::initializer_list<const char*> programs) {
  for (const char* program : programs) {
    if (::access(program, X_OK) != 0) return false;
  }
  return ::geteuid() == 0;
}

TEST(ContainersLive, PodmanContainerIsNamedByItsStorageAndWhatItWroteIsInItsUpperLayer) {
  if (!Installed({"/usr/bin/podman", "/usr/sbin/runc", "/usr/bin/conmon", "/bin/busybox"}))
    GTEST_SKIP() << "needs root, podman, runc, conmon and busybox-static";
  linux_test::TempDir dir;
  HostLeftovers leftovers({"/var/lib/containers", "/etc/cni/net.d/cni.lock", "/var/lib/cni", "/run/containers",
                           "/run/libpod", "/run/runc", "/run/netns"},
                          {"libpod_parent"}, dir.path());
  // runc, since crun refuses this machine's hybrid cgroups; its state in the
  // test's folder too.
  const std::string storage = (dir.path() / "storage").string();
  const std::string podman = "/usr/bin/podman --root " + storage + " --runroot " + (dir.path() / "run").string() +
                             " --tmpdir " + (dir.path() / "tmp").string() + " --runtime runc --runtime-flag root=" +
                             (dir.path() / "runc").string() +
                             " --cgroup-manager=cgroupfs --events-backend=file --storage-driver overlay";
  const Removal removal{podman, ContainerName(), "localhost/proclens-live:1", " rm -f -t 0 "};
  const Ran imported = Shell(podman + " import " + BusyboxImage(dir.path()).string() + " " + removal.image);
  ASSERT_EQ(imported.status, 0) << imported.out;
  const Ran started = Shell(podman + " run -d --network none" + Ulimit("nofile", RLIMIT_NOFILE) +
                          Ulimit("nproc", RLIMIT_NPROC) + " --name " + removal.name + " " + removal.image +
                          " /bin/sleep 600");
  if (started.status != 0) GTEST_SKIP() << "podman cannot start a container here: " << started.out;
  const Ran wrote = Shell(podman + " exec " + removal.name + " /bin/touch " + kWritten);
  ASSERT_EQ(wrote.status, 0) << wrote.out;
  const Started container = Inspect(podman, removal.name);
  ASSERT_GT(container.pid, 0);
  ExpectRunningContainer(container.pid, std::make_unique<linux_port::PodmanReader>(storage),
                         {ContainerRuntime::kPodman, container.id, removal.name, removal.image, ""}, kWritten);
}

TEST(ContainersLive, DockerContainerIsNamedByItsDaemonsFilesAndWhatItWroteIsInItsUpperLayer) {
  if (!Installed({"/usr/sbin/dockerd", "/usr/bin/docker", "/usr/sbin/runc", "/bin/busybox"}))
    GTEST_SKIP() << "needs root, Debian's docker.io (dockerd, docker), runc and busybox-static";
  linux_test::TempDir dir;
  HostLeftovers leftovers({"/etc/docker/key.json", "/run/docker", "/run/containerd", "/var/lib/docker", "/run/netns"},
                          {"docker"}, dir.path());
  const fs::path data = dir.path() / "data";
  const fs::path socket = dir.path() / "docker.sock";
  std::ofstream(dir.path() / "daemon.json") << "{}";
  Daemon dockerd({"/usr/sbin/dockerd", "--iptables=false", "--bridge=none", "--data-root", data.string(), "--exec-root",
                  (dir.path() / "exec").string(), "--pidfile", (dir.path() / "dockerd.pid").string(), "-H",
                  "unix://" + socket.string(), "--config-file", (dir.path() / "daemon.json").string()},
                 dir.path() / "dockerd.log");
  const std::string docker =
      "env DOCKER_CONFIG=" + (dir.path() / "cli").string() + " /usr/bin/docker -H unix://" + socket.string();
  bool up = false;
  for (int second = 0; second < 30 && !up && dockerd.running(); ++second) {
    up = Shell(docker + " version", 10).status == 0;
    if (!up) ::sleep(1);
  }
  if (!up) GTEST_SKIP() << "dockerd does not start here: " << Tail(dir.path() / "dockerd.log");
  const Removal removal{docker, ContainerName(), "proclens-live:1"};
  const Ran imported = Shell(docker + " import " + BusyboxImage(dir.path()).string() + " " + removal.image);
  ASSERT_EQ(imported.status, 0) << imported.out;
  const Ran started = Shell(docker + " run -d --network none --name " + removal.name + " " + removal.image +
                          " /bin/sleep 600");
  if (started.status != 0) GTEST_SKIP() << "docker cannot start a container here: " << started.out;
  const Ran wrote = Shell(docker + " exec " + removal.name + " /bin/touch " + kWritten);
  ASSERT_EQ(wrote.status, 0) << wrote.out;
  const Started container = Inspect(docker, removal.name);
  ASSERT_GT(container.pid, 0);
  ExpectRunningContainer(container.pid, std::make_unique<linux_port::DockerReader>(data.string()),
                         {ContainerRuntime::kDocker, container.id, removal.name, removal.image, ""}, kWritten);
}

}  // namespace
}  // namespace proclens::containers_live
