#pragma once
// The catalogue's fake platform, writing into the window's event log when the
// snapshot is taken and when the language is asked for.

#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "unit/app/fake_controls.h"

namespace proclens::fakes {

class LoggingPlatform : public FakePlatform {
 public:
  explicit LoggingPlatform(EventLog& log) : log_(log) {}

  int language_reads = 0;

  static std::string PathOf(const std::string& exe) { return "C:\\Programs\\" + exe; }

  // Each process resolves to C:\Programs\<name>, a 4096-byte file without icons.
  void RunProcesses(const std::vector<SnapshotEntry>& entries) {
    snapshot = entries;
    for (const auto& entry : entries) {
      ResolveWithFirstService(entry.pid, PathOf(entry.exe_file));
      AddFile(PathOf(entry.exe_file), 4096);
    }
  }

  std::unique_ptr<ProcessSnapshot> CreateSnapshot() override {
    log_.Add("snapshot");
    return FakePlatform::CreateSnapshot();
  }
  std::uint16_t UserDefaultLangId() override {
    ++language_reads;
    log_.Add("language");
    return FakePlatform::UserDefaultLangId();
  }

 private:
  EventLog& log_;
};

}  // namespace proclens::fakes
