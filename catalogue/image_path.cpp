#include "catalogue/image_path.h"

#include <string_view>

namespace proclens {
namespace {

constexpr std::string_view kObjectManagerPrefix = "\\??\\";
constexpr std::string_view kSystem32Prefix = "SYSTEM32\\";
constexpr std::string_view kSystemRootPrefix = "\\SYSTEMROOT\\";
constexpr std::string_view kDoubledSystemRootPrefix = "\\SYSTEMROOT\\\\SYSTEMROOT\\";
constexpr std::size_t kHintGap = 5;

// The prefix tests fold a to z only, whatever the locale; the prefixes are
// upper-case. Every listed path passes these tests, so they copy nothing.
bool StartsWithUpper(std::string_view text, std::string_view upper_prefix) {
  if (text.size() < upper_prefix.size()) return false;
  for (std::size_t i = 0; i < upper_prefix.size(); ++i) {
    const char c = text[i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upper_prefix[i]) return false;
  }
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void StripObjectManagerPrefix(std::string& path) {
  if (StartsWith(path, kObjectManagerPrefix)) path.erase(0, kObjectManagerPrefix.size());
}

// Closes the process on every way out of the block that opened it.
class OpenedProcess {
 public:
  OpenedProcess(ProcessOps& ops, std::uint32_t access, std::uint32_t pid)
      : ops_(ops), handle_(ops.OpenProcess(access, pid)) {}
  ~OpenedProcess() {
    if (IsValidHandle(handle_)) ops_.CloseHandle(handle_);
  }
  OpenedProcess(const OpenedProcess&) = delete;
  OpenedProcess& operator=(const OpenedProcess&) = delete;

  bool valid() const { return IsValidHandle(handle_); }
  ProcessHandle handle() const { return handle_; }

 private:
  ProcessOps& ops_;
  ProcessHandle handle_;
};

std::string QueryWithFirstService(std::uint32_t pid, ProcessOps& ops) {
  if (!ops.LookUpService("kernel32.dll", ImageNameService::QueryFullProcessImageName)) return {};
  OpenedProcess process(ops, kProcessQueryLimitedInformation, pid);
  if (!process.valid()) return {};
  return ops.QueryFullProcessImageName(process.handle()).value_or(std::string());
}

std::string QueryWithSecondService(std::uint32_t pid, ProcessOps& ops) {
  if (!ops.LookUpService("kernel32.dll", ImageNameService::GetModuleFileNameEx) &&
      !ops.LookUpService("psapi.dll", ImageNameService::GetModuleFileNameEx)) {
    return {};
  }
  OpenedProcess process(ops, kProcessQueryInformationAndVmRead, pid);
  if (!process.valid()) return {};
  std::string path = ops.GetModuleFileNameEx(process.handle()).value_or(std::string());
  StripObjectManagerPrefix(path);
  return path;
}

std::string ComposeErrorText(ProcessOps& ops, SystemInfo& info) {
  // Read before anything else can overwrite the value the failed call left.
  const std::uint32_t failure = ops.GetLastError();
  std::string text = " " + TrimMessageEnd(ops.FormatMessage(failure));
  if (!HasAdminRights(ops, info) &&
      ops.GetLastError() == info.Traits().access_denied_error) {
    text += std::string(kHintGap, ' ') + AdminHintText(info);
  }
  return text;
}

}  // namespace

std::string TrimMessageEnd(std::string message) {
  while (!message.empty()) {
    const unsigned char last = static_cast<unsigned char>(message.back());
    if (last > 0x20 && last != '.') break;
    message.pop_back();
  }
  return message;
}

std::string GetProcessImagePath(std::uint32_t pid, ProcessOps& ops, SystemInfo& info) {
  std::string path = QueryWithFirstService(pid, ops);
  if (path.empty()) path = QueryWithSecondService(pid, ops);
  if (!path.empty()) return NormalizeImagePath(std::move(path), ops, info);
  if (pid == 0) return " System idle";
  return ComposeErrorText(ops, info);
}

std::string NormalizeImagePath(std::string path, ProcessOps& ops, SystemInfo& info) {
  if (path.find('%') != std::string::npos) {
    if (auto expanded = ops.ExpandEnvironmentStrings(path)) path = std::move(*expanded);
  }
  // Each prefix keeps its last backslash as the separator after the directory.
  if (StartsWithUpper(path, kSystem32Prefix)) {
    if (auto system_dir = info.SystemDirectory()) {
      path = *system_dir + path.substr(kSystem32Prefix.size() - 1);
    }
  }
  if (StartsWithUpper(path, kSystemRootPrefix)) {
    if (auto windows_dir = info.WindowsDirectory()) {
      if (StartsWithUpper(path, kDoubledSystemRootPrefix)) path.erase(0, kSystemRootPrefix.size());
      path = *windows_dir + path.substr(kSystemRootPrefix.size() - 1);
    }
  }
  StripObjectManagerPrefix(path);
  return path;
}

bool HasAdminRights(ProcessOps& ops, SystemInfo& info) {
  if (!info.Traits().admin_test) return true;
  return ops.OpenServiceManager(kServiceManagerReadWriteExecute);
}

std::string AdminHintText(SystemInfo& info) {
  const std::string who = info.Traits().administrator_word;
  if (GermanChosen(info)) return "Starte das Program als " + who + "!";
  return "Run program as " + who + "!";
}

}  // namespace proclens
