#include "linux/origins/sandbox_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "catalogue/image_path.h"
#include "linux/support/run_command.h"
#include "platform/linux/linux_process_ops.h"
#include "platform/linux/linux_system_info.h"

namespace proclens::origins_test {
namespace {

std::mutex requests_lock;

std::string ExeLink(pid_t pid) {
  std::error_code error;
  const auto target = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  return error ? std::string() : target.string();
}

std::vector<pid_t> ChildrenOf(pid_t pid) {
  std::vector<pid_t> children;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream list(task.path() / "children");
    pid_t child;
    while (list >> child) children.push_back(child);
  }
  return children;
}

}  // namespace

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

bool CanSandbox() { return ::geteuid() == 0 && ::access("/usr/bin/bwrap", X_OK) == 0; }

std::vector<std::string> SandboxRoot() {
  return {"bwrap",          "--ro-bind", "/usr",  "/usr",       "--symlink", "usr/lib", "/lib",
          "--symlink",      "usr/lib64", "/lib64", "--symlink", "usr/bin",   "/bin",    "--symlink",
          "usr/sbin",       "/sbin",     "--proc", "/proc",     "--dev",     "/dev",    "--unshare-pid",
          "--die-with-parent"};
}

pid_t DescendantRunning(pid_t ancestor, const std::string& exe_link) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    std::vector<pid_t> pending = ChildrenOf(ancestor);
    while (!pending.empty()) {
      const pid_t pid = pending.back();
      pending.pop_back();
      if (ExeLink(pid) == exe_link) return pid;
      for (const pid_t child : ChildrenOf(pid)) pending.push_back(child);
    }
    ::usleep(10000);
  }
  return -1;
}

bool HostRootIsClean() {
  return !std::filesystem::exists("/.flatpak-info") && !std::filesystem::exists("/app");
}

FuseImage::FuseImage(const std::filesystem::path& appdir, const std::filesystem::path& image,
                     const std::filesystem::path& mount_point, Server server, uid_t user, gid_t group)
    : mount_point_(mount_point) {
  std::filesystem::create_directories(mount_point);
  const std::filesystem::path squashfs = image.string() + ".squashfs";
  if (testing::RunCommand("mksquashfs '" + appdir.string() + "' '" + squashfs.string() + "' -quiet -noappend")
          .status != 0)
    return;
  std::string program = "/usr/bin/squashfuse";
  std::vector<std::string> args = {"squashfuse", "-f", "-s"};
  if (server == Server::kTheImage) {
    // The runtime first, the squashfs at a block boundary after it.
    std::filesystem::copy_file("/usr/bin/squashfuse", image, std::filesystem::copy_options::overwrite_existing);
    const std::uintmax_t offset = (std::filesystem::file_size(image) + 4095) / 4096 * 4096;
    std::filesystem::resize_file(image, offset);
    std::ofstream(image, std::ios::binary | std::ios::app) << std::ifstream(squashfs, std::ios::binary).rdbuf();
    std::filesystem::permissions(image, std::filesystem::perms::owner_all | std::filesystem::perms::group_exec |
                                            std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    program = image.string();
    args = {image.filename().string(), "-f", "-s", "-o", "offset=" + std::to_string(offset), image.string()};
  } else {
    args.push_back(squashfs.string());
    std::filesystem::rename(squashfs, image);
    args.back() = image.string();
  }
  if (::chown(image.c_str(), user, group) != 0) return;
  const int device = ::open("/dev/fuse", O_RDWR);
  if (device < 0) return;
  const std::string options = "fd=" + std::to_string(device) + ",rootmode=40000,user_id=" + std::to_string(user) +
                              ",group_id=" + std::to_string(group);
  const std::string type = "fuse." + image.filename().string();
  if (::mount(image.c_str(), mount_point.c_str(), type.c_str(), MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    ::close(device);
    return;
  }
  args.push_back("/dev/fd/" + std::to_string(device));
  server_ = ::fork();
  if (server_ == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0) ::_exit(126);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(device);
  // Served once the root folder answers (as its user: root is refused).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  const std::string probe = "setpriv --reuid=" + std::to_string(user) + " --regid=" + std::to_string(group) +
                            " --clear-groups test -e '" + (mount_point / ".").string() + "'";
  while (server_ > 0 && testing::RunCommand(probe).status != 0) {
    if (std::chrono::steady_clock::now() > deadline || ::waitpid(server_, nullptr, WNOHANG) != 0) {
      ::umount2(mount_point.c_str(), MNT_DETACH);
      server_ = -1;
    }
    ::usleep(20000);
  }
}

FuseImage::~FuseImage() {
  if (server_ <= 0) return;
  ::umount2(mount_point_.c_str(), MNT_DETACH);
  ::kill(server_, SIGKILL);
  ::waitpid(server_, nullptr, 0);
}

std::string ImagePathOf(pid_t pid, std::vector<std::string> flatpak_installations) {
  linux_port::LinuxProcessOps ops(std::move(flatpak_installations));
  linux_port::LinuxSystemInfo info;
  return GetProcessImagePath(static_cast<std::uint32_t>(pid), ops, info);
}

void ExpectAnswers(linux_port::ProgramOrigin& origin, const linux_port::ProgramFile& file, bool german,
                   const Answers& expected) {
  SCOPED_TRACE(file.path + (german ? " (German)" : "") + " pid " + std::to_string(file.pid));
  EXPECT_EQ(origin.InstallerOf(file), expected.installer);
  const linux_port::OriginTexts texts = origin.Describe(file, german);
  EXPECT_EQ(texts.description, expected.texts.description);
  EXPECT_EQ(texts.product, expected.texts.product);
  EXPECT_EQ(texts.company, expected.texts.company);
  EXPECT_EQ(origin.ApplicationIcon(file), expected.icon);
  const FileCheck check = origin.Check(file, -1, 1u << 30);
  EXPECT_EQ(check.state, std::string(expected.check_state));
  EXPECT_EQ(check.package, expected.installer);
}

FakeSnapd::FakeSnapd(std::filesystem::path socket, std::string json_reply)
    : socket_(std::move(socket)), requests_(std::make_shared<std::vector<std::string>>()) {
  std::ostringstream reply;
  reply << "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " << json_reply.size()
        << "\r\nConnection: close\r\n\r\n"
        << json_reply;
  reply_ = reply.str();
  listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_.c_str(), sizeof address.sun_path - 1);
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 4) != 0)
    throw std::runtime_error("cannot listen on " + socket_.string());
  server_ = std::thread([this] { Serve(); });
}

FakeSnapd::~FakeSnapd() {
  stop_ = true;
  server_.join();
  ::close(listener_);
  std::filesystem::remove(socket_);
}

std::vector<std::string> FakeSnapd::Requests() {
  std::lock_guard<std::mutex> hold(requests_lock);
  return *requests_;
}

void FakeSnapd::Serve() {
  while (!stop_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 50) <= 0) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t got = ::read(client, buffer, sizeof buffer);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    {
      std::lock_guard<std::mutex> hold(requests_lock);
      requests_->push_back(request.substr(0, request.find("\r\n")));
    }
    std::size_t sent = 0;
    while (sent < reply_.size()) {
      const ssize_t put = ::write(client, reply_.data() + sent, reply_.size() - sent);
      if (put <= 0) break;
      sent += static_cast<std::size_t>(put);
    }
    ::close(client);
  }
}

}  // namespace proclens::origins_test
