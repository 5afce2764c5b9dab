#pragma once
// Opening processes and asking for their image names, one platform call each,
// so that the order of attempts and the last-error rules stay in portable code.

#include <cstdint>
#include <optional>
#include <string>

namespace proclens {

// An opened process; 0 and -1 both mean that the open failed.
using ProcessHandle = std::intptr_t;
inline bool IsValidHandle(ProcessHandle h) { return h != 0 && h != -1; }

enum class ImageNameService { QueryFullProcessImageName, GetModuleFileNameEx };

inline constexpr std::uint32_t kProcessQueryLimitedInformation = 0x1000;
inline constexpr std::uint32_t kProcessQueryInformationAndVmRead = 0x0410;
inline constexpr std::uint32_t kServiceManagerReadWriteExecute = 0xE0000000;

class ProcessOps {
 public:
  virtual ~ProcessOps() = default;
  // LoadLibraryA + GetProcAddress, at every call; the library stays loaded.
  virtual bool LookUpService(const char* library, ImageNameService service) = 0;
  virtual ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t pid) = 0;
  // QueryFullProcessImageNameW (flags 0), converted to narrow text; nullopt on failure.
  virtual std::optional<std::string> QueryFullProcessImageName(ProcessHandle process) = 0;
  // GetModuleFileNameExW for the main module, converted; nullopt when nothing was copied.
  virtual std::optional<std::string> GetModuleFileNameEx(ProcessHandle process) = 0;
  virtual void CloseHandle(ProcessHandle process) = 0;
  virtual std::uint32_t GetLastError() = 0;
  // FormatMessageA from the system table: the message text, empty when there is none.
  virtual std::string FormatMessage(std::uint32_t code) = 0;
  // OpenSCManagerA(NULL, NULL, access); a handle that came back is closed at once.
  virtual bool OpenServiceManager(std::uint32_t access) = 0;
  // ExpandEnvironmentStringsA into a 256-character buffer; nullopt when the call
  // fails or its result does not fit.
  virtual std::optional<std::string> ExpandEnvironmentStrings(const std::string& text) = 0;
};

}  // namespace proclens
