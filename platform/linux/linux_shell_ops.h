#pragma once
// The shell on Linux. The main window's actions speak in the shell's terms
// (an "explorer.exe /select, FILE" in a folder, an "explore" of a folder, an
// address to "open"); each becomes the nearest freedesktop request: the file
// manager's ShowItems over D-Bus, opening the folder with its default
// application through GIO, or the default browser for an address.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/shell_ops.h"

namespace proclens::linux_port {

// What Execute answers, in the shell's numbers: above 32 is success.
inline constexpr std::uintptr_t kShellStarted = 42;
inline constexpr std::uintptr_t kShellFileNotFound = 2;

// How long the file manager may take to take the request; the window waits.
inline constexpr int kFileManagerTimeoutMs = 3000;

// Where a shell call goes on Linux.
enum class LinuxShellRequest { ShowItem, OpenFolder, OpenAddress, Nothing };

struct LinuxShellPlan {
  LinuxShellRequest request = LinuxShellRequest::Nothing;
  std::string target;  // a file or folder path, or an address
};

// The request a shell call stands for. The plain "explorer.exe FOLDER" of the
// last attempt has no counterpart and becomes Nothing, so it fails.
LinuxShellPlan PlanShellCall(const std::string& verb, const std::string& file,
                             const std::optional<std::string>& parameters,
                             const std::optional<std::string>& directory);

class LinuxShellOps : public ShellOps {
 public:
  // beep sounds the display's bell; the display is the window's.
  explicit LinuxShellOps(std::function<void()> beep) : beep_(std::move(beep)) {}

  std::uintptr_t Execute(ShellOwner owner, const std::string& verb, const std::string& file,
                         const std::optional<std::string>& parameters,
                         const std::optional<std::string>& directory, int show) override;
  void Beep(unsigned type) override;
  const char* FolderSeparators() const override { return "/"; }
  // A container's program through its root (/proc/PID/root/...): the very
  // file, in a folder of this system that the file manager can open.
  std::string PathToShow(std::uint32_t pid, const std::string& path) override;

 private:
  std::function<void()> beep_;
};

// org.freedesktop.FileManager1.ShowItems on the session bus for one file.
bool ShowItemInFileManager(const std::string& path);
// The default application for a URI (the file manager for a folder's, the
// browser for a web address).
bool LaunchDefaultForUri(const std::string& uri);
// file:// URI of an absolute path; empty for a relative one.
std::string FileUri(const std::string& path);

}  // namespace proclens::linux_port
