#include "platform/win32/win32_snapshot_ops.h"

#include <cstring>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"

namespace proclens::win32 {

struct Win32SnapshotOps::Services {
  using CreateFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  CreateFn create = nullptr;
  WalkFn first = nullptr;
  WalkFn next = nullptr;
};

namespace {

template <typename Fn>
Fn BindByName(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class Win32ProcessSnapshot : public ProcessSnapshot {
 public:
  Win32ProcessSnapshot(HANDLE snapshot, const Win32SnapshotOps::Services& services)
      : snapshot_(snapshot), services_(services) {
    // The services check the record's size against the layout they fill.
    entry_.dwSize = sizeof(PROCESSENTRY32);
  }

  bool Next(SnapshotEntry& entry) override {
    const auto walk = started_ ? services_.next : services_.first;
    started_ = true;
    if (!walk || !walk(snapshot_.get(), &entry_)) return false;
    entry.pid = entry_.th32ProcessID;
    entry.exe_file.assign(entry_.szExeFile, strnlen(entry_.szExeFile, sizeof(entry_.szExeFile)));
    return true;
  }

 private:
  KernelHandle snapshot_;
  const Win32SnapshotOps::Services services_;
  PROCESSENTRY32 entry_ = {};
  bool started_ = false;
};

}  // namespace

Win32SnapshotOps::Win32SnapshotOps(const char* module_name)
    : module_name_(module_name), services_(std::make_unique<Services>()) {}

Win32SnapshotOps::~Win32SnapshotOps() = default;

const Win32SnapshotOps::Services& Win32SnapshotOps::Bound() {
  if (!bound_) {
    bound_ = true;
    HMODULE module = GetModuleHandleA(module_name_);
    services_->create = BindByName<Services::CreateFn>(module, "CreateToolhelp32Snapshot");
    services_->first = BindByName<Services::WalkFn>(module, "Process32First");
    services_->next = BindByName<Services::WalkFn>(module, "Process32Next");
  }
  return *services_;
}

std::unique_ptr<ProcessSnapshot> Win32SnapshotOps::CreateSnapshot() {
  const Services& services = Bound();
  if (!services.create) return nullptr;
  KernelHandle snapshot(services.create(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return nullptr;
  return std::make_unique<Win32ProcessSnapshot>(snapshot.release(), services);
}

}  // namespace proclens::win32
