#include "platform/win32/win32_process_ops.h"

#include <cstring>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace proclens::win32 {
namespace {

constexpr DWORD kFormatFlags =
    FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY;
static_assert(kFormatFlags == 0x3200);

const char* EntryPointName(ImageNameService service) {
  return service == ImageNameService::QueryFullProcessImageName ? "QueryFullProcessImageNameW"
                                                                : "GetModuleFileNameExW";
}

HANDLE AsHandle(ProcessHandle process) { return reinterpret_cast<HANDLE>(process); }

// The text up to its terminating zero, never past the buffer's end.
std::string NarrowBufferText(const wchar_t* buffer, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && buffer[length] != L'\0') ++length;
  return NarrowFromWide(buffer, length);
}

}  // namespace

bool Win32ProcessOps::LookUpService(const char* library, ImageNameService service) {
  // The library stays loaded: the entry point is used after this call returns.
  HMODULE module = LoadLibraryA(library);
  FARPROC entry = module ? GetProcAddress(module, EntryPointName(service)) : nullptr;
  if (service == ImageNameService::QueryFullProcessImageName) {
    query_full_process_image_name_ = reinterpret_cast<QueryFullProcessImageNameFn>(
        reinterpret_cast<void (*)()>(entry));
  } else {
    get_module_file_name_ex_ =
        reinterpret_cast<GetModuleFileNameExFn>(reinterpret_cast<void (*)()>(entry));
  }
  return entry != nullptr;
}

ProcessHandle Win32ProcessOps::OpenProcess(std::uint32_t access, std::uint32_t pid) {
  return reinterpret_cast<ProcessHandle>(::OpenProcess(access, FALSE, pid));
}

std::optional<std::string> Win32ProcessOps::QueryFullProcessImageName(ProcessHandle process) {
  if (!query_full_process_image_name_) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return std::nullopt;
  }
  wchar_t buffer[kImageNameCapacity] = {};
  unsigned long size = kImageNameCapacity;
  // A path that does not fit fails with ERROR_INSUFFICIENT_BUFFER and leaves
  // the buffer alone, so a failure is never read as a path.
  if (!query_full_process_image_name_(AsHandle(process), 0, buffer, &size)) return std::nullopt;
  return NarrowBufferText(buffer, size < kImageNameCapacity ? size : kImageNameCapacity);
}

std::optional<std::string> Win32ProcessOps::GetModuleFileNameEx(ProcessHandle process) {
  if (!get_module_file_name_ex_) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return std::nullopt;
  }
  wchar_t buffer[kImageNameCapacity] = {};
  const unsigned long copied =
      get_module_file_name_ex_(AsHandle(process), nullptr, buffer, kImageNameCapacity);
  if (copied == 0) return std::nullopt;
  // The service cuts a long path to the buffer without saying so; a count that
  // reaches the buffer's last places cannot be told from such a cut, and a cut
  // path would name another file.
  if (copied >= kImageNameCapacity - 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return std::nullopt;
  }
  return NarrowBufferText(buffer, copied);
}

void Win32ProcessOps::CloseHandle(ProcessHandle process) { ::CloseHandle(AsHandle(process)); }

std::uint32_t Win32ProcessOps::GetLastError() { return ::GetLastError(); }

std::string Win32ProcessOps::FormatMessage(std::uint32_t code) {
  char buffer[kMessageCapacity] = {};
  const DWORD length =
      FormatMessageA(kFormatFlags, nullptr, code, 0, buffer, kMessageCapacity, nullptr);
  return std::string(buffer, length < kMessageCapacity ? length : 0);
}

bool Win32ProcessOps::OpenServiceManager(std::uint32_t access) {
  // A refused open leaves its last-error value for the caller to read.
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, access));
  return static_cast<bool>(manager);
}

std::optional<std::string> Win32ProcessOps::ExpandEnvironmentStrings(const std::string& text) {
  char buffer[kExpansionCapacity] = {};
  const DWORD count = ExpandEnvironmentStringsA(text.c_str(), buffer, kExpansionCapacity);
  // A count above the capacity is the size the text would need: nothing usable was written.
  if (count == 0 || count > kExpansionCapacity) return std::nullopt;
  return std::string(buffer, strnlen(buffer, kExpansionCapacity));
}

}  // namespace proclens::win32
