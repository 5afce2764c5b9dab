#pragma once
// A small running system for the main window's tests: every listed process
// resolves to C:\Programs\<name>, a 4096-byte file without icons. Taking the
// snapshot and asking for the language go into the event log.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/process_ops.h"
#include "platform/snapshot_ops.h"
#include "platform/system_info.h"
#include "unit/app/fake_controls.h"

namespace proclens::fakes {

class ListingSnapshot : public ProcessSnapshot {
 public:
  explicit ListingSnapshot(std::vector<SnapshotEntry> entries) : entries_(std::move(entries)) {}
  bool Next(SnapshotEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<SnapshotEntry> entries_;
  std::size_t next_ = 0;
};

class ListingPlatform : public SnapshotOps, public ProcessOps, public FileOps, public SystemInfo {
 public:
  explicit ListingPlatform(EventLog* log = nullptr) : log_(log) {}

  std::vector<SnapshotEntry> processes = {{100, "alpha.exe"}, {200, "Beta.exe"}};
  std::uint16_t lang_id = 0x0409;
  PlatformTraits traits = WindowsTraits(kPlatformWin32Nt);
  int language_reads = 0;

  static std::string PathOf(const std::string& exe) { return "C:\\Programs\\" + exe; }

  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override {
    if (log_ != nullptr) log_->Add("snapshot");
    return std::make_unique<ListingSnapshot>(processes);
  }

  bool LookUpService(const char*, ImageNameService) override { return true; }
  ProcessHandle OpenProcess(std::uint32_t, std::uint32_t pid) override { return pid; }
  std::optional<std::string> QueryFullProcessImageName(ProcessHandle process) override {
    for (const auto& entry : processes) {
      if (entry.pid == process) return PathOf(entry.exe_file);
    }
    return std::nullopt;
  }
  std::optional<std::string> GetModuleFileNameEx(ProcessHandle process) override {
    return QueryFullProcessImageName(process);
  }
  void CloseHandle(ProcessHandle) override {}
  std::uint32_t GetLastError() override { return 5; }
  std::string FormatMessage(std::uint32_t) override { return "Access is denied."; }
  bool OpenServiceManager(std::uint32_t) override { return true; }
  std::optional<std::string> ExpandEnvironmentStrings(const std::string& text) override {
    return text;
  }

  std::optional<FileEntry> FindFirstFile(const std::string& path) override {
    for (const auto& entry : processes) {
      if (PathOf(entry.exe_file) == path) return FileEntry{false, 4096};
    }
    return std::nullopt;
  }
  ExtractedIcons ExtractIcons(const std::string&) override { return {}; }

  const PlatformTraits& Traits() override { return traits; }
  std::optional<std::string> SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
  std::optional<std::string> WindowsDirectory() override { return "C:\\WINDOWS"; }
  std::uint16_t UserDefaultLangId() override {
    ++language_reads;
    if (log_ != nullptr) log_->Add("language");
    return lang_id;
  }
  std::string UpperCase(std::string text) override {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
  }

 private:
  EventLog* log_;
};

}  // namespace proclens::fakes
