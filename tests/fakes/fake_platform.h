#pragma once
// A scriptable platform for the catalogue: snapshot, process, file and system
// operations in one object. Its last-error value behaves as the thread's does
// on Windows: every failing call sets it, successful calls leave it alone.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_ops.h"
#include "platform/process_ops.h"
#include "platform/snapshot_ops.h"
#include "fakes/fake_system_info.h"
#include "platform/system_info.h"

namespace proclens::fakes {

// Windows error codes the fake leaves when nothing more specific is scripted.
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;   // OpenProcess of an unknown pid
inline constexpr std::uint32_t kErrorProcNotFound = 127;      // GetProcAddress without the name
inline constexpr std::uint32_t kErrorEnvVarNotFound = 203;
inline constexpr std::uint32_t kErrorPartialCopy = 299;       // a failed image-name query
inline constexpr std::uint32_t kErrorMessageNotFound = 317;   // FormatMessage without a text

// An extracted icon that knows its file and size, and counts itself while alive.
class FakeIcon : public Icon {
 public:
  FakeIcon(std::string name, int& live) : name_(std::move(name)), live_(live) { ++live_; }
  ~FakeIcon() override { --live_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;  // "<path>#large" or "<path>#small"
  int& live_;
};

struct IconScript {
  unsigned count = 1;
  bool large = true;
  bool small = true;
};

struct OpenScript {
  bool succeeds = true;
  std::uint32_t error = kErrorAccessDenied;  // left when the open fails
  ProcessHandle failed_value = 0;            // what a failed open hands back: 0 or -1
};

class FakePlatform : public SnapshotOps, public ProcessOps, public FileOps, public FakeSystemInfo {
 public:
  // The usual NT system: its directories are known.
  FakePlatform() {
    system_directory = "C:\\WINDOWS\\system32";
    windows_directory = "C:\\WINDOWS";
  }

  // ---- script --------------------------------------------------------------
  std::optional<std::vector<SnapshotEntry>> snapshot = std::vector<SnapshotEntry>{};
  std::uint32_t last_error = 0;
  std::map<std::uint32_t, std::string> messages;  // FormatMessage texts per code
  bool service_manager_opens = true;
  std::uint32_t service_manager_error = kErrorAccessDenied;
  // Expansion results per input; an input not listed fails.
  std::map<std::string, std::optional<std::string>> expansions;
  std::map<std::string, FileEntry> files;
  std::map<std::string, IconScript> icons;

  // A service that is found; any other look-up fails and leaves `error`.
  void OfferService(const std::string& library, ImageNameService service);
  void WithdrawService(const std::string& library, ImageNameService service);
  // The usual NT setting: the first service from kernel32, the second from psapi.
  void OfferUsualServices();
  void SetLookUpError(const std::string& library, std::uint32_t error);
  // Unscripted opens fail with kErrorInvalidParameter.
  void ScriptOpen(std::uint32_t pid, std::uint32_t access, OpenScript script = {});
  // Unscripted queries fail with kErrorPartialCopy; nullopt fails with `error`.
  void ScriptQuery(ImageNameService service, std::uint32_t pid, std::optional<std::string> path,
                   std::uint32_t error = kErrorPartialCopy);
  // Shorthand: the first service from kernel32 gives `path` for `pid`.
  void ResolveWithFirstService(std::uint32_t pid, const std::string& path);
  void AddFile(const std::string& path, std::uint64_t size, bool is_directory = false);

  // ---- record --------------------------------------------------------------
  // Process calls in order: "lookup <library> <service>", "open <access hex> <pid>",
  // "query <service> <pid>", "close <pid>", "scm <access hex>".
  std::vector<std::string> calls;
  std::map<ProcessHandle, int> close_count;  // per handle that was handed out
  std::set<ProcessHandle> handed_out;
  int snapshots_open = 0;   // created and not yet destroyed
  int snapshots_taken = 0;
  int live_icons = 0;
  std::vector<std::string> expand_calls;  // every text handed to the expansion

  // ---- SnapshotOps ---------------------------------------------------------
  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override;

  // ---- ProcessOps ----------------------------------------------------------
  bool LookUpService(const char* library, ImageNameService service) override;
  ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t pid) override;
  std::optional<std::string> QueryFullProcessImageName(ProcessHandle process) override;
  std::optional<std::string> GetModuleFileNameEx(ProcessHandle process) override;
  void CloseHandle(ProcessHandle process) override;
  std::uint32_t GetLastError() override { return last_error; }
  std::string FormatMessage(std::uint32_t code) override;
  bool OpenServiceManager(std::uint32_t access) override;
  std::optional<std::string> ExpandEnvironmentStrings(const std::string& text) override;

  // ---- FileOps -------------------------------------------------------------
  std::optional<FileEntry> FindFirstFile(const std::string& path) override;
  ExtractedIcons ExtractIcons(const std::string& path) override;


 private:
  std::optional<std::string> Query(ImageNameService service, ProcessHandle process);

  std::set<std::pair<std::string, ImageNameService>> offered_;
  std::map<std::string, std::uint32_t> lookup_errors_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, OpenScript> opens_;
  std::map<std::pair<ImageNameService, std::uint32_t>, std::pair<std::optional<std::string>,
                                                                  std::uint32_t>>
      queries_;
  std::map<ProcessHandle, std::uint32_t> pid_of_handle_;
  ProcessHandle next_handle_ = 0x100;
};

std::string ServiceName(ImageNameService service);

// The traits the Linux build runs with (its own library is not linked here):
// nothing skipped, no Windows-only rule, root as the administrator, EACCES.
PlatformTraits LinuxShapedTraits();

}  // namespace proclens::fakes
