#include "platform/win32/win32_service_enumeration.h"

#include <algorithm>

namespace proclens::win32 {
namespace {

// Bounds the calls for a manager whose answers never settle.
constexpr int kMostCalls = 64;

std::wstring TextOrEmpty(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

// The records lie at the buffer's start; their texts follow them in the same buffer.
void AppendRecords(const std::vector<BYTE>& buffer, DWORD returned,
                   std::vector<ActiveService>& services) {
  const auto* records = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
  const std::size_t fitting = buffer.size() / sizeof(ENUM_SERVICE_STATUS_PROCESSW);
  for (std::size_t i = 0; i < std::min<std::size_t>(returned, fitting); ++i) {
    services.push_back({TextOrEmpty(records[i].lpServiceName),
                        TextOrEmpty(records[i].lpDisplayName),
                        records[i].ServiceStatusProcess.dwProcessId});
  }
}

}  // namespace

std::vector<ActiveService> ReadActiveServices(const EnumServicesCall& call,
                                              DWORD first_buffer_size) {
  std::vector<ActiveService> services;
  std::vector<BYTE> buffer(std::clamp<DWORD>(first_buffer_size, 1, kLargestServiceBuffer));
  DWORD resume = 0;
  for (int calls = 0; calls < kMostCalls; ++calls) {
    DWORD needed = 0;
    DWORD returned = 0;
    const DWORD error =
        call(buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &returned, &resume);
    AppendRecords(buffer, returned, services);
    if (error != ERROR_MORE_DATA) break;
    if (returned > 0) {
      // A part came: the next call continues after it, in a buffer as large as the rest needs.
      if (needed > buffer.size()) buffer.resize(std::min(needed, kLargestServiceBuffer));
      continue;
    }
    // Nothing fitted: the same part again in a larger buffer. Wine keeps no
    // resume position and answers all or nothing; its "needed" may be twice
    // the size that the records take.
    if (buffer.size() >= kLargestServiceBuffer) break;
    buffer.resize(std::min<std::size_t>(std::max<std::size_t>(needed, buffer.size() * 2),
                                        kLargestServiceBuffer));
  }
  return services;
}

EnumServicesCall ActiveWin32Services(SC_HANDLE manager) {
  return [manager](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned, DWORD* resume) {
    if (EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_ACTIVE, buffer,
                              size, needed, returned, resume, nullptr)) {
      return static_cast<DWORD>(ERROR_SUCCESS);
    }
    return GetLastError();
  };
}

}  // namespace proclens::win32
