#pragma once
// Helpers for the tests of the program origins: trees written on the spot,
// programs started under bubblewrap as sandboxes start them, a fake snapd on a
// Unix socket of the test's own, and what a source answers about one file.

#include <sys/types.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "linux/support/live_process.h"
#include "platform/linux/origins/program_origin.h"

namespace proclens::origins_test {

// Writes text to path, making its folders.
void WriteText(const std::filesystem::path& path, const std::string& text);

// Whether the tests can start sandboxes (bubblewrap, as root).
bool CanSandbox();

// bwrap's arguments for a root made of read-only binds on its own tmpfs, as
// Flatpak builds it: the host's /usr, the usual links, /proc and /dev.
std::vector<std::string> SandboxRoot();

// The first process below ancestor (children, then theirs) whose exe link is
// exe_link; waits up to five seconds for it to appear. -1 when none does.
pid_t DescendantRunning(pid_t ancestor, const std::string& exe_link);

// Neither sandbox may leave its mount points on the host.
bool HostRootIsClean();

// The program of a process as the catalogue gives it, with Flatpak deploying
// into these installations.
std::string ImagePathOf(pid_t pid, std::vector<std::string> flatpak_installations = {});

// Every answer a source gives about one file it installed; the check's
// package is the installer.
struct Answers {
  std::string installer;
  linux_port::OriginTexts texts;
  std::optional<std::string> icon;
  const char* check_state;
};
void ExpectAnswers(linux_port::ProgramOrigin& origin, const linux_port::ProgramFile& file, bool german,
                   const Answers& expected);

// A squashfs image of an AppDir served with FUSE until destroyed. Served by
// the image itself (a copy of squashfuse with the squashfs appended, as an
// AppImage's runtime serves its own image) or by squashfuse; mounted for a
// user (root opens the FUSE device and mounts it for that user, whose server
// takes the device as /dev/fd/N, since unprivileged mounts need a device
// that everyone may open).
class FuseImage {
 public:
  enum class Server { kTheImage, kSquashfuse };
  FuseImage(const std::filesystem::path& appdir, const std::filesystem::path& image,
            const std::filesystem::path& mount_point, Server server, uid_t user = 0, gid_t group = 0);
  ~FuseImage();
  FuseImage(const FuseImage&) = delete;
  FuseImage& operator=(const FuseImage&) = delete;
  bool mounted() const { return server_ > 0; }
  pid_t server() const { return server_; }

 private:
  std::filesystem::path mount_point_;
  pid_t server_ = -1;
};

// Answers every request on a Unix socket with one HTTP reply.
class FakeSnapd {
 public:
  FakeSnapd(std::filesystem::path socket, std::string json_reply);
  ~FakeSnapd();
  FakeSnapd(const FakeSnapd&) = delete;
  FakeSnapd& operator=(const FakeSnapd&) = delete;
  // The request lines received so far.
  std::vector<std::string> Requests();

 private:
  void Serve();
  std::filesystem::path socket_;
  std::string reply_;
  int listener_ = -1;
  std::atomic<bool> stop_{false};
  std::shared_ptr<std::vector<std::string>> requests_;
  std::thread server_;
};

}  // namespace proclens::origins_test

// What every origin test uses.
namespace proclens::linux_port {
namespace fs = std::filesystem;
using linux_test::Child;
using linux_test::TempDir;
using origins_test::WriteText;
}  // namespace proclens::linux_port
