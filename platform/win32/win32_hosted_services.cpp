#include "platform/win32/win32_hosted_services.h"

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace proclens::win32 {
namespace {

// Most descriptions fit at once; the documented largest is 8 KiB.
constexpr DWORD kFirstDescriptionBuffer = 2048;

std::wstring ServiceDescription(SC_HANDLE manager, const std::wstring& name) {
  ServiceHandle service(OpenServiceW(manager, name.c_str(), SERVICE_QUERY_CONFIG));
  if (!service) return {};
  std::vector<BYTE> buffer(kFirstDescriptionBuffer);
  // Twice at most: the second call has the size that the first one asked for.
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD needed = 0;
    if (QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, buffer.data(),
                             static_cast<DWORD>(buffer.size()), &needed)) {
      const auto* description = reinterpret_cast<const SERVICE_DESCRIPTIONW*>(buffer.data());
      return description->lpDescription ? description->lpDescription : L"";
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) break;
    buffer.resize(needed);
  }
  return {};
}

}  // namespace

ServicesByProcess GroupByProcess(const std::vector<ActiveService>& services,
                                 const std::function<std::wstring(const std::wstring&)>& describe) {
  ServicesByProcess by_process;
  for (const ActiveService& service : services) {
    if (service.process_id == 0) continue;
    by_process[service.process_id].push_back({NarrowFromWide(service.name),
                                              NarrowFromWide(service.display_name),
                                              NarrowFromWide(describe(service.name))});
  }
  return by_process;
}

ServicesByProcess ReadHostedServices(SC_HANDLE manager) {
  if (!manager) return {};
  return GroupByProcess(ReadActiveServices(ActiveWin32Services(manager)),
                        [manager](const std::wstring& name) {
                          return ServiceDescription(manager, name);
                        });
}

ServicesByProcess ReadHostedServices() {
  ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  return ReadHostedServices(manager.get());
}

}  // namespace proclens::win32
