#pragma once
// Why a Windows process runs: the services it hosts, as the service manager
// names and describes them. One reading covers every process, so that a list
// fill asks the manager once rather than once per row.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_service_enumeration.h"

namespace proclens::win32 {

// Texts in the build's narrow encoding (the ANSI code page).
struct HostedService {
  std::string name;          // the key name, as `sc` and `net start` take it
  std::string display_name;  // as the Services console shows it
  // Empty when the service has none or cannot be opened. An indirect text
  // ("@%SystemRoot%\...dll,-101") stays as the manager gave it: loading the
  // file it names would run that file's code in this process under Wine.
  std::string description;
};

// Process id -> the services that process hosts, in the manager's order.
using ServicesByProcess = std::map<std::uint32_t, std::vector<HostedService>>;

// The running Win32 services of the local manager; an empty map when the
// manager cannot be opened (access denied) or refuses to list its services.
ServicesByProcess ReadHostedServices();
ServicesByProcess ReadHostedServices(SC_HANDLE manager);

// The services that have a process, under their process ids; describe gives
// a service's description from its key name.
ServicesByProcess GroupByProcess(const std::vector<ActiveService>& services,
                                 const std::function<std::wstring(const std::wstring&)>& describe);

}  // namespace proclens::win32
