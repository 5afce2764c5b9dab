#include "platform/linux/linux_process_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/linux/base/error_text.h"
#include "platform/linux/origins/flatpak/flatpak_info.h"
#include "platform/linux/base/real_path.h"

namespace proclens::linux_port {
namespace {

// A link target longer than this is not a path the kernel hands out.
constexpr std::size_t kLongestLink = 1 << 16;

}  // namespace

LinuxProcessOps::LinuxProcessOps(std::vector<std::string> flatpak_installations)
    : flatpak_installations_(std::move(flatpak_installations)) {}

bool LinuxProcessOps::LookUpService(const char* /*library*/, ImageNameService service) {
  // The exe link answers both questions, so the second service is never needed.
  // Its absence leaves the last error alone, so that the error text describes
  // the open or the query that really failed.
  return service == ImageNameService::QueryFullProcessImageName;
}

ProcessHandle LinuxProcessOps::OpenProcess(std::uint32_t /*access*/, std::uint32_t pid) {
  // Nothing is opened: the exe link is read below /proc when it is asked
  // for, which answers for a missing process as an open would. Opening
  // /proc/PID first would cost two system calls per listed process.
  const ProcessHandle handle = next_handle_++;
  open_handles_[handle] = pid;
  return handle;
}

std::optional<std::string> LinuxProcessOps::QueryFullProcessImageName(ProcessHandle process) {
  return ReadExeLink(process);
}

std::optional<std::string> LinuxProcessOps::GetModuleFileNameEx(ProcessHandle process) {
  return ReadExeLink(process);
}

std::optional<std::string> LinuxProcessOps::ReadExeLink(ProcessHandle process) {
  const auto open = open_handles_.find(process);
  if (open == open_handles_.end()) {
    Fail(EBADF);
    return std::nullopt;
  }
  // Below a descriptor of the process root kept for the run: the kernel then
  // looks up only the process's own directory.
  if (!proc_dir_.valid()) proc_dir_ = UniqueFd(::open(proc_root_, O_PATH | O_DIRECTORY | O_CLOEXEC));
  const std::string link = std::to_string(open->second) + "/exe";
  // A link may be longer than any first guess; grow until the target fits.
  for (std::size_t size = 256; size <= kLongestLink; size *= 2) {
    std::string target(size, '\0');
    const ssize_t got = ::readlinkat(proc_dir_.get(), link.c_str(), target.data(), size);
    if (got < 0) {
      Fail(errno);
      return std::nullopt;
    }
    if (static_cast<std::size_t>(got) < size) {
      // The kernel's " (deleted)" mark stays: no file of that name exists now.
      target.resize(static_cast<std::size_t>(got));
      return HostPathOf(open->second, std::move(target));
    }
  }
  Fail(ENAMETOOLONG);
  return std::nullopt;
}

std::optional<std::string> LinuxProcessOps::HostPathOf(std::uint32_t pid, std::string exe_link) {
  // A program in a Flatpak sandbox is named as the sandbox sees it (/app/...,
  // the runtime's /usr/...). The list shows the file on the host, so that its
  // size, icon and texts are those of the program that runs; one that no host
  // path reaches is an unresolved path like any other. Only those two
  // folders are mapped, so other programs need not be asked about.
  if (!exe_link.starts_with("/usr/") && !exe_link.starts_with("/app/")) return exe_link;
  const auto sandbox = ReadFlatpakInstance(proc_dir_.get(), pid);
  if (!sandbox) return exe_link;
  if (!installations_resolved_) {
    // Sandboxes name their folders with every link resolved.
    for (std::string& installation : flatpak_installations_) {
      installation = RealPathOf(installation).value_or(installation);
      if (installation.size() > 1 && installation.back() == '/') installation.pop_back();
    }
    installations_resolved_ = true;
  }
  auto host = SandboxedProgramOnHost(proc_dir_.get(), pid, *sandbox, exe_link, flatpak_installations_);
  if (!host) Fail(ENOENT);
  return host;
}

void LinuxProcessOps::CloseHandle(ProcessHandle process) {
  if (open_handles_.erase(process) == 0) Fail(EBADF);
}

std::uint32_t LinuxProcessOps::GetLastError() { return last_error_; }

std::string LinuxProcessOps::FormatMessage(std::uint32_t code) { return ErrorText(static_cast<int>(code)); }

bool LinuxProcessOps::OpenServiceManager(std::uint32_t /*access*/) {
  if (::geteuid() == 0) return true;
  Fail(EACCES);
  return false;
}

std::optional<std::string> LinuxProcessOps::ExpandEnvironmentStrings(const std::string& /*text*/) {
  // Paths from the kernel carry no variables; a '%' in one is part of a file name.
  return std::nullopt;
}

}  // namespace proclens::linux_port
