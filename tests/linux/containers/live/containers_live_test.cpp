// Real containers, run by this machine's Podman and Docker with every state
// folder in the test's own: the readers, given the container process's real
// cgroup and the runtime's real state folder, name the container as its
// runtime does, and what the container wrote lies in its root's upper layer.
// Each test removes its container and image, stops what it started and
// removes what the runtime left on the host, also when it fails.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "linux/containers/container_test_support.h"
#include "linux/support/live_process.h"
#include "linux/support/run_command.h"
#include "platform/linux/containers/container_cache.h"
#include "platform/linux/linux_file_ops.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_process_facts_ops.h"
#include "platform/linux/linux_verify_ops.h"
#include "platform/linux/containers/docker/docker_reader.h"
#include "platform/linux/proc/overlay_upper.h"
#include "platform/linux/containers/podman/podman_reader.h"
#include "platform/linux/proc/cgroup_path.h"
#include "platform/linux/proc/mount_info.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
using linux_test::TempDir;

constexpr char kWritten[] = "/tmp/written-inside";
const std::string kChanged = "/usr/bin/sleep";  // the image's file with a byte its database does not know
const std::string kDrift = "/tmp/sleep";        // busybox, copied by the running container

// A command's output and error, within a time limit (status -1 past it).
testing::CommandOutput Shell(const std::string& command, int seconds = 60) {
  return testing::RunCommand("timeout " + std::to_string(seconds) + " " + command + " 2>&1");
}

std::string ProcText(const fs::path& path) { return ReadProcText(path.string(), 16u << 20).value_or(""); }

// Unmounts every mount at or below folder, the deepest first.
void UnmountBelow(const fs::path& folder) {
  std::vector<std::string> points;
  for (const Mount& mount : ParseMountInfo(ProcText("/proc/self/mountinfo"))) {
    if (mount.mount_point == folder.string() || mount.mount_point.starts_with(folder.string() + "/"))
      points.push_back(mount.mount_point);
  }
  std::sort(points.rbegin(), points.rend());
  for (const std::string& point : points) ::umount2(point.c_str(), MNT_DETACH);
}

// Removes, when it goes, what did not exist when it was made: the paths (and
// mounts below them), and the cgroups of these names at the top of each
// hierarchy. Mounts below the test's own folder go too, so that removing it
// cannot reach through them.
class HostLeftovers {
 public:
  HostLeftovers(const std::vector<std::string>& paths, const std::string& cgroup, fs::path folder)
      : folder_(std::move(folder)) {
    std::error_code error;
    for (const std::string& path : paths) {
      if (!fs::exists(fs::symlink_status(path, error))) paths_.emplace_back(path);
    }
    std::vector<fs::path> roots = {"/sys/fs/cgroup"};  // the unified hierarchy alone, or v1's beside it
    for (const auto& entry : fs::directory_iterator("/sys/fs/cgroup", error)) roots.push_back(entry.path());
    for (const fs::path& root : roots) {
      if (fs::exists(root / "cgroup.procs", error) && !fs::exists(root / cgroup, error))
        cgroups_.push_back(root / cgroup);
    }
  }
  ~HostLeftovers() {
    std::error_code error;
    UnmountBelow(folder_);
    for (const fs::path& path : paths_) {
      UnmountBelow(path);
      fs::remove_all(path, error);
    }
    for (const fs::path& cgroup : cgroups_) {  // rmdir alone removes a cgroup, its children first
      std::vector<std::string> folders = {cgroup.string()};
      for (fs::recursive_directory_iterator it(cgroup, error), end; !error && it != end; it.increment(error))
        if (it->is_directory(error)) folders.push_back(it->path().string());
      std::sort(folders.rbegin(), folders.rend());
      for (const std::string& folder : folders) ::rmdir(folder.c_str());
    }
  }

 private:
  fs::path folder_;
  std::vector<fs::path> paths_;
  std::vector<fs::path> cgroups_;
};

// A daemon in the background with its own log, stopped with SIGTERM (SIGKILL
// after twenty seconds) when it goes.
class Daemon {
 public:
  Daemon(const std::vector<std::string>& argv, const fs::path& log) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const std::string log_path = log.string();
    pid_ = ::fork();
    if (pid_ != 0) return;
    const int out = ::open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    ::setsid();
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ~Daemon() {
    if (pid_ <= 0) return;  // never kill(-1)
    ::kill(pid_, SIGTERM);
    for (int tenth = 0; tenth < 200; ++tenth, ::usleep(100000)) {
      if (::waitpid(pid_, nullptr, WNOHANG) != 0) return;
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  bool running() { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

// A root of busybox (as sh, sleep and touch) with an apk database that lists
// it by its SHA-1, as a tar that `podman import` and `docker import` take.
std::string BusyboxImage(const fs::path& dir) {
  const fs::path root = dir / "image-root";
  fs::create_directories(root / "bin");
  fs::create_directories(root / "lib/apk/db");
  fs::create_directories(root / "tmp");
  fs::permissions(root / "tmp", fs::perms::all | fs::perms::sticky_bit);
  fs::create_directories(root / "usr/bin");
  fs::copy_file("/bin/busybox", root / "bin/busybox");
  for (const char* applet : {"sh", "sleep", "touch", "cp"}) fs::create_symlink("busybox", root / "bin" / applet);
  // A copy with its last byte changed (in the section headers, which running
  // it never reads), listed with the checksum of the original.
  fs::copy_file("/bin/busybox", root / kChanged.substr(1));
  std::fstream changed(root / kChanged.substr(1), std::ios::in | std::ios::out | std::ios::binary);
  changed.seekg(-1, std::ios::end);
  const char last = static_cast<char>(changed.get() ^ 0x01);
  changed.seekp(-1, std::ios::end);
  changed.put(last);
  changed.close();
  std::string sha1 = Shell("sh -c 'openssl dgst -sha1 -binary /bin/busybox | base64'").out;
  sha1.erase(sha1.find_last_not_of('\n') + 1);
  std::ofstream(root / "lib/apk/db/installed") << "P:busybox\nT:The host's busybox\nm:Tests <t@example.org>\n"
                                                  "F:bin\nR:busybox\nZ:Q1"
                                               << sha1 << "\nF:usr/bin\nR:sleep\nZ:Q1" << sha1 << "\n";
  Shell("tar -C " + root.string() + " -cf " + (dir / "image.tar").string() + " .");
  return (dir / "image.tar").string();
}

// A limit for the container within the host's own (runc refuses to raise one).
std::string Ulimit(const std::string& name, int resource) {
  rlimit limit{};
  ::getrlimit(resource, &limit);
  const std::string value = std::to_string(std::min<rlim_t>(limit.rlim_max, 1024));
  return " --ulimit " + name + "=" + value + ":" + value;
}

// The test's container in a runtime: imported, started, written to, and
// removed with its image (while the runtime still runs) when it goes.
struct TestContainer {
  // runtime: the command with its global options; remove: its rm (Podman's
  // waits ten seconds for a PID 1 that ignores SIGTERM, without -t 0).
  TestContainer(std::string runtime, std::string image, std::string remove)
      : runtime(std::move(runtime)), image(std::move(image)), remove(std::move(remove)) {}
  std::string runtime;
  std::string image;
  std::string remove;
  std::string name = "proclens-live-" + std::to_string(::getpid());
  pid_t pid = -1;
  std::string id;

  ~TestContainer() {
    Shell(runtime + " " + remove + " " + name);
    Shell(runtime + " rmi -f " + image);
  }
  // Empty when it runs, else what the runtime said when it would not.
  std::string Start(const fs::path& dir, const std::string& run_options) {
    const auto imported = Shell(runtime + " import " + BusyboxImage(dir) + " " + image);
    if (imported.status != 0) return imported.out;
    const auto started =
        Shell(runtime + " run -d --network none" + run_options + " --name " + name + " " + image + " /bin/sleep 600");
    if (started.status != 0) return started.out;
    const auto wrote = Shell(runtime + " exec " + name + " /bin/touch " + kWritten);
    EXPECT_EQ(wrote.status, 0) << wrote.out;
    const auto copied = Shell(runtime + " exec " + name + " /bin/cp /bin/busybox " + kDrift);
    EXPECT_EQ(copied.status, 0) << copied.out;
    for (const std::string& program : {kChanged, kDrift}) {
      const auto ran = Shell(runtime + " exec -d " + name + " " + program + " 600");
      EXPECT_EQ(ran.status, 0) << ran.out;
    }
    const auto inspected = Shell(runtime + " inspect --format {{.State.Pid}}:{{.Id}} " + name);
    const std::size_t colon = inspected.out.find(':');
    EXPECT_TRUE(inspected.status == 0 && colon != std::string::npos) << inspected.out;
    if (inspected.status == 0 && colon != std::string::npos) {
      pid = static_cast<pid_t>(std::stol(inspected.out.substr(0, colon)));
      id = inspected.out.substr(colon + 1, 64);
    }
    return {};
  }
};

// The container's process with this command line, as the host numbers it.
pid_t ProcessRunning(const std::string& program) {
  const std::string command_line = program + std::string(1, '\0') + "600" + std::string(1, '\0');
  for (int tenth = 0; tenth < 100; ++tenth, ::usleep(100000)) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
      if (ProcText(entry.path() / "cmdline") == command_line) return std::stoi(entry.path().filename().string());
    }
  }
  return -1;
}

// What the list, verify and the facts say of the container's three programs:
// the image's own (the container's database vouches for it), the image's
// changed copy, and the one the running container wrote.
void ExpectEachTrustRule(const TestContainer& container, ContainerCache& cache) {
  ProgramOrigins origins = SystemOrigins();
  LinuxVerifyOps verify(origins);
  const struct {
    pid_t pid;
    std::string path;
    const char* state;
  } programs[] = {{container.pid, "/bin/busybox", file_state::kMatches},
                  {ProcessRunning(kChanged), kChanged, file_state::kDiffers},
                  {ProcessRunning(kDrift), kDrift, file_state::kChangedInContainer}};
  LinuxFileOps files;
  UnitDescriptions units(UnitDescriptionSetup{});
  LinuxProcessFactsOps facts(cache, units);
  const auto busybox_size = fs::file_size("/bin/busybox");
  for (const auto& program : programs) {
    ASSERT_GT(program.pid, 0) << program.path;
    const FileCheck check = verify.CheckFile(program.path, static_cast<std::uint32_t>(program.pid), UINT64_MAX);
    EXPECT_EQ(check.state, program.state) << program.path;
    EXPECT_EQ(check.authority, CheckAuthority::kContainer) << program.path;
    EXPECT_EQ(check.package, program.path == kDrift ? "" : "busybox") << program.path;
    // The list's size is the container's file's, which the host has at no such path.
    const auto entry = files.FindFirstFileOf(static_cast<std::uint32_t>(program.pid), program.path);
    ASSERT_TRUE(entry) << program.path;
    EXPECT_EQ(entry->size, busybox_size) << program.path;
    const ProcessFacts named = facts.FactsOf(static_cast<std::uint32_t>(program.pid));
    ASSERT_TRUE(named.container) << program.path;
    EXPECT_EQ(named.container->name, container.name);
    EXPECT_FALSE(named.unit) << "a container's scope is no unit: " << named.unit->name;
  }
  EXPECT_EQ(origins.other_roots().roots_read(), 1u) << "one container, its database read once";
}

// What the readers and the upper layer say of the running container's process.
void ExpectRunningContainer(const TestContainer& container, std::unique_ptr<ContainerStateReader> reader,
                            ContainerRuntime runtime) {
  ASSERT_GT(container.pid, 0);
  const fs::path proc = "/proc/" + std::to_string(container.pid);
  const auto cgroup_path = ProcessCgroupPath(ProcText(proc / "cgroup"));
  ASSERT_TRUE(cgroup_path);
  std::vector<std::unique_ptr<ContainerStateReader>> readers;
  readers.push_back(std::move(reader));
  ContainerCache cache(std::move(readers));
  const auto info = cache.ContainerOf(*cgroup_path);
  ASSERT_TRUE(info) << *cgroup_path;
  EXPECT_EQ(*info, (ContainerInfo{runtime, container.id, container.name, container.image, ""})) << *cgroup_path;
  const auto upper = RootOverlayUpperDir(ProcText(proc / "mountinfo"));
  ASSERT_TRUE(upper);
  EXPECT_TRUE(fs::exists(*upper + kWritten)) << *upper;
  EXPECT_FALSE(fs::exists(*upper + "/bin/busybox")) << "the image's file lies in a lower layer";
  ExpectEachTrustRule(container, cache);
  std::printf("[   live   ] %s %s '%s' '%s'\n[   live   ] cgroup %s\n[   live   ] upper layer %s\n",
              std::string(RuntimeName(runtime)).c_str(), info->id.c_str(), info->name.c_str(), info->image.c_str(),
              cgroup_path->c_str(), upper->c_str());
}

bool CanRun(std::initializer_list<const char*> programs) {
  return ::geteuid() == 0 &&
         std::all_of(programs.begin(), programs.end(), [](auto p) { return ::access(p, X_OK) == 0; });
}

TEST(ContainersLive, PodmanContainerIsNamedByItsStorageAndWhatItWroteIsInItsUpperLayer) {
  if (!CanRun({"/usr/bin/podman", "/usr/sbin/runc", "/usr/bin/conmon", "/bin/busybox"}))
    GTEST_SKIP() << "needs root, podman, runc, conmon and busybox-static";
  TempDir dir;
  HostLeftovers leftovers({"/var/lib/containers", "/etc/cni/net.d/cni.lock", "/var/lib/cni", "/run/containers",
                           "/run/libpod", "/run/runc", "/run/netns"},
                          "libpod_parent", dir.path());
  // runc, as crun refuses this machine's hybrid cgroups; its state in the test's folder too.
  const std::string storage = (dir.path() / "storage").string();
  TestContainer container{"/usr/bin/podman --root " + storage + " --runroot " + (dir.path() / "run").string() +
                              " --tmpdir " + (dir.path() / "tmp").string() +
                              " --runtime runc --runtime-flag root=" + (dir.path() / "runc").string() +
                              " --cgroup-manager=cgroupfs --events-backend=file --storage-driver overlay",
                          "localhost/proclens-live:1", "rm -f -t 0"};
  const std::string failed =
      container.Start(dir.path(), Ulimit("nofile", RLIMIT_NOFILE) + Ulimit("nproc", RLIMIT_NPROC));
  if (!failed.empty()) GTEST_SKIP() << "podman cannot run a container here: " << failed;
  ExpectRunningContainer(container, std::make_unique<PodmanReader>(storage), ContainerRuntime::kPodman);
}

TEST(ContainersLive, DockerContainerIsNamedByItsDaemonsFilesAndWhatItWroteIsInItsUpperLayer) {
  if (!CanRun({"/usr/sbin/dockerd", "/usr/bin/docker", "/usr/sbin/runc", "/bin/busybox"}))
    GTEST_SKIP() << "needs root, Debian's docker.io (dockerd, docker), runc and busybox-static";
  TempDir dir;
  HostLeftovers leftovers({"/etc/docker/key.json", "/run/docker", "/run/containerd", "/var/lib/docker", "/run/netns"},
                          "docker", dir.path());
  const fs::path data = dir.path() / "data";
  const std::string socket = "unix://" + (dir.path() / "docker.sock").string();
  std::ofstream(dir.path() / "daemon.json") << "{}";
  Daemon dockerd({"/usr/sbin/dockerd", "--iptables=false", "--bridge=none", "--data-root", data.string(), "--exec-root",
                  (dir.path() / "exec").string(), "--pidfile", (dir.path() / "dockerd.pid").string(), "-H", socket,
                  "--config-file", (dir.path() / "daemon.json").string()},
                 dir.path() / "dockerd.log");
  TestContainer container{"env DOCKER_CONFIG=" + (dir.path() / "cli").string() + " /usr/bin/docker -H " + socket,
                          "proclens-live:1", "rm -f"};
  bool up = false;
  for (int second = 0; second < 30 && !up && dockerd.running(); ++second) {
    up = Shell(container.runtime + " version", 10).status == 0;
    if (!up) ::sleep(1);
  }
  const std::string log = ProcText(dir.path() / "dockerd.log");
  if (!up)
    GTEST_SKIP() << "dockerd does not start here: " << log.substr(log.size() - std::min<std::size_t>(log.size(), 2000));
  const std::string failed = container.Start(dir.path(), "");
  if (!failed.empty()) GTEST_SKIP() << "docker cannot run a container here: " << failed;
  ExpectRunningContainer(container, std::make_unique<DockerReader>(data.string()), ContainerRuntime::kDocker);
}

}  // namespace
}  // namespace proclens::linux_port
