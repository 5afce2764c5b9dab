#pragma once
// The Win32 services that the service manager lists as active, read in as
// many calls as the manager needs: the buffer grows to what a call asks for,
// and a manager that hands the list out in parts is asked again from its
// resume handle.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

struct ActiveService {
  std::wstring name;          // the key name, as `sc` takes it
  std::wstring display_name;
  std::uint32_t process_id = 0;  // 0 while the service has no process of its own
};

// One EnumServicesStatusExW call with its manager, level and filters already
// chosen: (buffer, size, needed, returned, resume handle), answering the
// call's error (ERROR_SUCCESS, ERROR_MORE_DATA, ...).
using EnumServicesCall = std::function<DWORD(BYTE*, DWORD, DWORD*, DWORD*, DWORD*)>;

// Windows answers at most 256 KiB of records per call; the rest comes through
// the resume handle.
inline constexpr DWORD kLargestServiceBuffer = 256 * 1024;

// All records the calls give, in the manager's order. A failure other than
// ERROR_MORE_DATA ends the list with what came before it.
std::vector<ActiveService> ReadActiveServices(const EnumServicesCall& call,
                                              DWORD first_buffer_size = 64 * 1024);

// EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32,
// SERVICE_ACTIVE, ...): running, starting, stopping and paused services.
EnumServicesCall ActiveWin32Services(SC_HANDLE manager);

}  // namespace proclens::win32
