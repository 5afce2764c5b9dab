#include "fakes/fake_platform.h"

#include <cstdio>

namespace proclens::fakes {
namespace {

class FakeSnapshot : public ProcessSnapshot {
 public:
  FakeSnapshot(std::vector<SnapshotEntry> entries, int& open)
      : entries_(std::move(entries)), open_(open) {
    ++open_;
  }
  ~FakeSnapshot() override { --open_; }

  bool Next(SnapshotEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<SnapshotEntry> entries_;
  std::size_t next_ = 0;
  int& open_;
};

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

}  // namespace

std::string ServiceName(ImageNameService service) {
  return service == ImageNameService::QueryFullProcessImageName ? "QueryFullProcessImageName"
                                                                : "GetModuleFileNameEx";
}

PlatformTraits LinuxShapedTraits() {
  PlatformTraits traits;
  traits.admin_test = true;
  traits.path_separator = '/';
  traits.access_denied_error = 13;
  traits.administrator_word = "root";
  return traits;
}

void FakePlatform::OfferService(const std::string& library, ImageNameService service) {
  offered_.insert({library, service});
}

void FakePlatform::WithdrawService(const std::string& library, ImageNameService service) {
  offered_.erase({library, service});
}

void FakePlatform::OfferUsualServices() {
  OfferService("kernel32.dll", ImageNameService::QueryFullProcessImageName);
  OfferService("psapi.dll", ImageNameService::GetModuleFileNameEx);
}

void FakePlatform::SetLookUpError(const std::string& library, std::uint32_t error) {
  lookup_errors_[library] = error;
}

void FakePlatform::ScriptOpen(std::uint32_t pid, std::uint32_t access, OpenScript script) {
  opens_[{pid, access}] = script;
}

void FakePlatform::ScriptQuery(ImageNameService service, std::uint32_t pid,
                               std::optional<std::string> path, std::uint32_t error) {
  queries_[{service, pid}] = {std::move(path), error};
}

void FakePlatform::ResolveWithFirstService(std::uint32_t pid, const std::string& path) {
  OfferService("kernel32.dll", ImageNameService::QueryFullProcessImageName);
  ScriptOpen(pid, kProcessQueryLimitedInformation);
  ScriptQuery(ImageNameService::QueryFullProcessImageName, pid, path);
}

void FakePlatform::AddFile(const std::string& path, std::uint64_t size, bool is_directory) {
  files[path] = FileEntry{is_directory, size};
}

std::unique_ptr<ProcessSnapshot> FakePlatform::CreateSnapshot() {
  if (!snapshot) return nullptr;
  ++snapshots_taken;
  return std::make_unique<FakeSnapshot>(*snapshot, snapshots_open);
}

bool FakePlatform::LookUpService(const char* library, ImageNameService service) {
  calls.push_back("lookup " + std::string(library) + " " + ServiceName(service));
  if (offered_.count({library, service})) return true;
  const auto error = lookup_errors_.find(library);
  last_error = error == lookup_errors_.end() ? kErrorProcNotFound : error->second;
  return false;
}

ProcessHandle FakePlatform::OpenProcess(std::uint32_t access, std::uint32_t pid) {
  calls.push_back("open " + Hex(access) + " " + std::to_string(pid));
  const auto script = opens_.find({pid, access});
  if (script == opens_.end()) {
    last_error = kErrorInvalidParameter;
    return 0;
  }
  if (!script->second.succeeds) {
    last_error = script->second.error;
    return script->second.failed_value;
  }
  const ProcessHandle handle = next_handle_++;
  handed_out.insert(handle);
  pid_of_handle_[handle] = pid;
  return handle;
}

std::optional<std::string> FakePlatform::Query(ImageNameService service, ProcessHandle process) {
  const auto pid = pid_of_handle_.find(process);
  const std::uint32_t pid_value = pid == pid_of_handle_.end() ? 0xFFFFFFFF : pid->second;
  calls.push_back("query " + ServiceName(service) + " " + std::to_string(pid_value));
  const auto script = queries_.find({service, pid_value});
  if (script == queries_.end()) {
    last_error = kErrorPartialCopy;
    return std::nullopt;
  }
  if (!script->second.first) last_error = script->second.second;
  return script->second.first;
}

std::optional<std::string> FakePlatform::QueryFullProcessImageName(ProcessHandle process) {
  return Query(ImageNameService::QueryFullProcessImageName, process);
}

std::optional<std::string> FakePlatform::GetModuleFileNameEx(ProcessHandle process) {
  return Query(ImageNameService::GetModuleFileNameEx, process);
}

void FakePlatform::CloseHandle(ProcessHandle process) {
  const auto pid = pid_of_handle_.find(process);
  calls.push_back("close " + (pid == pid_of_handle_.end() ? std::string("?")
                                                          : std::to_string(pid->second)));
  ++close_count[process];
}

std::string FakePlatform::FormatMessage(std::uint32_t code) {
  const auto message = messages.find(code);
  if (message != messages.end()) return message->second;
  last_error = kErrorMessageNotFound;
  return {};
}

bool FakePlatform::OpenServiceManager(std::uint32_t access) {
  calls.push_back("scm " + Hex(access));
  if (!service_manager_opens) {
    last_error = service_manager_error;
    return false;
  }
  return true;  // the handle is closed at once: nothing stays open
}

std::optional<std::string> FakePlatform::ExpandEnvironmentStrings(const std::string& text) {
  expand_calls.push_back(text);
  const auto expansion = expansions.find(text);
  if (expansion == expansions.end() || !expansion->second) {
    last_error = kErrorEnvVarNotFound;
    return std::nullopt;
  }
  return expansion->second;
}

std::optional<FileEntry> FakePlatform::FindFirstFile(const std::string& path) {
  const auto file = files.find(path);
  if (file == files.end()) {
    last_error = kErrorFileNotFound;
    return std::nullopt;
  }
  return file->second;
}

ExtractedIcons FakePlatform::ExtractIcons(const std::string& path) {
  ExtractedIcons extracted;
  const auto script = icons.find(path);
  if (script == icons.end()) return extracted;
  extracted.count = script->second.count;
  if (script->second.large) extracted.large = std::make_unique<FakeIcon>(path + "#large", live_icons);
  if (script->second.small) extracted.small = std::make_unique<FakeIcon>(path + "#small", live_icons);
  return extracted;
}


}  // namespace proclens::fakes
