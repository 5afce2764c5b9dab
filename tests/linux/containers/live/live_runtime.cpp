#include "linux/containers/live/live_runtime.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "linux/containers/container_test_support.h"
#include "linux/run_command.h"
#include "platform/linux/containers/container_cache.h"
#include "platform/linux/containers/overlay_upper.h"
#include "platform/linux/origins/apk/apk_origin.h"
#include "platform/linux/proc/cgroup_path.h"
#include "platform/linux/unique_fd.h"

namespace proclens::containers_live {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string UnescapedField(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

struct HostMount {
  fs::path point;
  std::string type;
};

std::vector<HostMount> HostMounts() {
  std::vector<HostMount> mounts;
  std::istringstream lines(ReadText("/proc/self/mountinfo"));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<std::string> parts;
    for (std::string part; fields >> part;) parts.push_back(part);
    const auto dash = std::find(parts.begin(), parts.end(), "-");
    if (parts.size() < 5 || dash == parts.end() || dash + 1 == parts.end()) continue;
    mounts.push_back({UnescapedField(parts[4]), *(dash + 1)});
  }
  return mounts;
}

bool IsAtOrBelow(const fs::path& path, const fs::path& folder) {
  const std::string text = path.string();
  return text == folder.string() || text.starts_with(folder.string() + "/");
}

void UnmountBelow(const fs::path& folder) {
  std::vector<fs::path> points;
  for (const HostMount& mount : HostMounts()) {
    if (IsAtOrBelow(mount.point, folder)) points.push_back(mount.point);
  }
  std::sort(points.begin(), points.end(), [](const fs::path& a, const fs::path& b) { return a.string() > b.string(); });
  for (const fs::path& point : points) ::umount2(point.c_str(), MNT_DETACH);
}

std::vector<fs::path> CgroupRoots() {
  std::vector<fs::path> roots;
  for (const HostMount& mount : HostMounts()) {
    if (mount.type == "cgroup" || mount.type == "cgroup2") roots.push_back(mount.point);
  }
  return roots;
}

}  // namespace

Ran Shell(const std::string& command, int seconds) {
  const proclens::testing::CommandOutput output =
      proclens::testing::RunCommand("timeout " + std::to_string(seconds) + " " + command + " 2>&1");
  return {output.status, output.out};
}

fs::path BusyboxImage(const fs::path& dir) {
  const fs::path root = dir / "image-root";
  fs::create_directories(root / "bin");
  fs::create_directories(root / "lib/apk/db");
  fs::create_directories(root / "tmp");
  fs::permissions(root / "tmp", fs::perms::all | fs::perms::sticky_bit);
  fs::copy_file("/bin/busybox", root / "bin/busybox");
  for (const char* applet : {"sh", "sleep", "touch"}) fs::create_symlink("busybox", root / "bin" / applet);
  // The checksum as apk writes it: "Q1" and the base64 of the file's SHA-1.
  const Ran sha1 = Shell("sh -c 'openssl dgst -sha1 -binary /bin/busybox | base64'");
  std::ofstream(root / "lib/apk/db/installed")
      << "P:busybox\nV:1.0-r0\nT:The host's busybox\nm:ProcLens tests <tests@example.org>\nF:bin\nR:busybox\nZ:Q1"
      << sha1.out << "\n";
  const fs::path tar = dir / "image.tar";
  Shell("tar -C " + root.string() + " -cf " + tar.string() + " .");
  return tar;
}

HostLeftovers::HostLeftovers(std::vector<std::string> paths, std::vector<std::string> cgroup_names, fs::path folder)
    : folder_(std::move(folder)) {
  std::error_code error;
  for (const std::string& path : paths) {
    if (!fs::exists(fs::symlink_status(path, error))) new_paths_.emplace_back(path);
  }
  for (const fs::path& root : CgroupRoots()) {
    for (const std::string& name : cgroup_names) {
      if (!fs::exists(root / name, error)) new_cgroups_.push_back(root / name);
    }
  }
}

HostLeftovers::~HostLeftovers() {
  std::error_code error;
  UnmountBelow(folder_);
  for (const fs::path& path : new_paths_) {
    if (!fs::exists(fs::symlink_status(path, error))) continue;
    UnmountBelow(path);
    fs::remove_all(path, error);
  }
  // A cgroup goes with rmdir alone, its children first.
  for (const fs::path& cgroup : new_cgroups_) {
    std::vector<fs::path> folders;
    for (fs::recursive_directory_iterator it(cgroup, error), end; !error && it != end; it.increment(error)) {
      if (it->is_directory(error)) folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) { return a.string() > b.string(); });
    folders.push_back(cgroup);
    for (const fs::path& folder : folders) ::rmdir(folder.c_str());
  }
}

Daemon::Daemon(const std::vector<std::string>& argv, const fs::path& log) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const std::string log_path = log.string();
  pid_ = ::fork();
  if (pid_ == 0) {
    const int out = ::open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
    }
    ::setsid();
    ::execv(args[0], args.data());
    ::_exit(127);
  }
}

bool Daemon::running() { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

void Daemon::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  for (int tenth = 0; tenth < 200; ++tenth) {
    if (::waitpid(pid_, nullptr, WNOHANG) != 0) {
      pid_ = -1;
      return;
    }
    ::usleep(100000);
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string Tail(const fs::path& log) {
  const std::string text = ReadText(log);
  return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

void ExpectRunningContainer(pid_t pid, std::unique_ptr<linux_port::ContainerStateReader> reader,
                            const linux_port::ContainerInfo& expected, const std::string& written) {
  using namespace linux_port;
  const fs::path proc = "/proc/" + std::to_string(pid);
  const std::string cgroups = ReadText(proc / "cgroup");
  const auto cgroup_path = ProcessCgroupPath(cgroups);
  ASSERT_TRUE(cgroup_path) << cgroups;
  std::vector<std::unique_ptr<ContainerStateReader>> readers;
  readers.push_back(std::move(reader));
  ContainerCache cache(std::move(readers));
  const auto info = cache.ContainerOf(*cgroup_path);
  ASSERT_TRUE(info) << *cgroup_path;
  EXPECT_EQ(*info, expected);
  const auto upper = RootOverlayUpperDir(ReadText(proc / "mountinfo"));
  ASSERT_TRUE(upper) << ReadText(proc / "mountinfo");
  EXPECT_TRUE(fs::exists(*upper + written)) << *upper;
  EXPECT_FALSE(fs::exists(*upper + "/bin/busybox")) << "the image's file is in a lower layer";
  // The container's own package database answers, through its root, for the
  // program its process runs (named as inside the container).
  std::error_code error;
  // Only root can change the image's folders (kept).
  const ProgramFile program{fs::read_symlink(proc / "exe", error).string(), static_cast<std::uint32_t>(pid), true};
  EXPECT_EQ(program.path, "/bin/busybox");
  ApkOrigin apk((proc / "root").string());
  EXPECT_EQ(apk.InstallerOf(program), "busybox");
  const UniqueFd image(::open((proc / "exe").c_str(), O_RDONLY | O_CLOEXEC));
  EXPECT_EQ(apk.Check(program, image.get(), 1u << 30).state, file_state::kMatches);
  std::printf("[   live   ] %s %s name '%s' image '%s'\n[   live   ] cgroup %s\n[   live   ] upper layer %s\n",
              std::string(RuntimeName(info->runtime)).c_str(), info->id.c_str(), info->name.c_str(),
              info->image.c_str(), cgroup_path->c_str(), upper->c_str());
}

}  // namespace proclens::containers_live
