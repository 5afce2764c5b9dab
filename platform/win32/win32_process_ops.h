#pragma once
// The process operations of the Win32 build: each one Windows call, so that
// the catalogue's order of attempts and last-error rules meet the real system.

#include "platform/process_ops.h"

namespace proclens::win32 {

class Win32ProcessOps : public ProcessOps {
 public:
  // The image-name services take a buffer of this many UTF-16 characters,
  // terminating zero included.
  static constexpr unsigned kImageNameCapacity = 260;
  // The work buffer of the environment expansion, terminating zero included.
  static constexpr unsigned kExpansionCapacity = 256;
  static constexpr unsigned kMessageCapacity = 256;

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
  using QueryFullProcessImageNameFn = int(__stdcall*)(void*, unsigned long, wchar_t*,
                                                      unsigned long*);
  using GetModuleFileNameExFn = unsigned long(__stdcall*)(void*, void*, wchar_t*, unsigned long);

  // The entry points of the latest successful look-ups; a failed look-up clears its own.
  QueryFullProcessImageNameFn query_full_process_image_name_ = nullptr;
  GetModuleFileNameExFn get_module_file_name_ex_ = nullptr;
};

}  // namespace proclens::win32
