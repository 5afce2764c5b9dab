#include "platform/win32/win32_page_file_ops.h"

#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"

namespace proclens::win32 {
namespace {

constexpr DWORD kTempPathCapacity = 256;

}  // namespace

bool Win32PageFileOps::Failed() {
  last_error_ = ::GetLastError();
  return false;
}

std::string Win32PageFileOps::ProgramPath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      Failed();
      return "";
    }
    // A cut path fills the buffer exactly; try again with more room.
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> Win32PageFileOps::TemporaryFolder() {
  char buffer[kTempPathCapacity] = {};
  const DWORD length = GetTempPathA(kTempPathCapacity, buffer);
  if (length == 0) {
    Failed();
    return std::nullopt;
  }
  if (length >= kTempPathCapacity) {
    last_error_ = ERROR_FILENAME_EXCED_RANGE;
    return std::nullopt;
  }
  return std::string(buffer, length);
}

std::optional<std::string> Win32PageFileOps::CreateTemporaryFile(const std::string& folder,
                                                                 const std::string& prefix) {
  char buffer[MAX_PATH] = {};
  if (GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer) == 0) {
    Failed();
    return std::nullopt;
  }
  return std::string(buffer);
}

bool Win32PageFileOps::WriteWholeFile(const std::string& path, std::string_view bytes) {
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Failed();
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) return Failed();
    if (written == 0) {
      last_error_ = ERROR_WRITE_FAULT;
      return false;
    }
    bytes.remove_prefix(written);
  }
  // A full disk or a network folder may only report the failure here.
  if (!CloseHandle(file.release())) return Failed();
  return true;
}

std::string Win32PageFileOps::LastErrorText() {
  if (last_error_ == 0) return "";
  char buffer[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                last_error_, 0, buffer, sizeof buffer, nullptr);
  // The system's texts end in a line break that a message box does not need.
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n')) --length;
  if (length == 0) return "Error " + std::to_string(last_error_);
  return std::string(buffer, length);
}

}  // namespace proclens::win32
