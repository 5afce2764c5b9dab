#pragma once
// Processes through /proc: a process handle stands for a process identifier,
// its image name is the target of /proc/PID/exe (for a program in a Flatpak
// sandbox, the same file's path on the host), and the last error is the errno
// of the last operation that failed, kept here as Windows keeps it per thread.

#include <map>
#include <string>
#include <vector>

#include "platform/linux/origins/flatpak/flatpak_origin.h"
#include "platform/linux/base/unique_fd.h"
#include "platform/process_ops.h"

namespace proclens::linux_port {

class LinuxProcessOps : public ProcessOps {
 public:
  // flatpak_installations: where Flatpak deploys (FlatpakOrigin's
  // installations); only sandboxes whose folders lie there are believed.
  explicit LinuxProcessOps(std::vector<std::string> flatpak_installations = FlatpakOrigin::DefaultInstallations());
  // Only for tests: where the process directories are.
  explicit LinuxProcessOps(const char* proc_root) : LinuxProcessOps() { proc_root_ = proc_root; }

  bool LookUpService(const char* library, ImageNameService service) override;
  ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t pid) override;
  std::optional<std::string> QueryFullProcessImageName(ProcessHandle process) override;
  std::optional<std::string> GetModuleFileNameEx(ProcessHandle process) override;
  void CloseHandle(ProcessHandle process) override;
  std::uint32_t GetLastError() override;
  std::string FormatMessage(std::uint32_t code) override;
  bool OpenServiceManager(std::uint32_t access) override;
  std::optional<std::string> ExpandEnvironmentStrings(const std::string& text) override;

 private:
  std::optional<std::string> ReadExeLink(ProcessHandle process);
  std::optional<std::string> HostPathOf(std::uint32_t pid, std::string exe_link);
  void Fail(int error) { last_error_ = static_cast<std::uint32_t>(error); }

  const char* proc_root_ = "/proc";
  std::vector<std::string> flatpak_installations_;  // real paths once resolved
  bool installations_resolved_ = false;
  UniqueFd proc_dir_;  // opened at the first query
  std::uint32_t last_error_ = 0;
  // Every handle handed out and not yet closed, with its process.
  std::map<ProcessHandle, std::uint32_t> open_handles_;
  ProcessHandle next_handle_ = 1;
};

}  // namespace proclens::linux_port
