// The service list read in growing buffers and in parts: a fake manager that
// hands out what fits and continues from its resume handle, as Windows does,
// and Wine's manager, which answers all or nothing, asked with too small a buffer.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_service_enumeration.h"

namespace proclens::win32 {
namespace {

DWORD RecordSize(const ActiveService& service) {
  return static_cast<DWORD>(sizeof(ENUM_SERVICE_STATUS_PROCESSW) +
                            (service.name.size() + service.display_name.size() + 2) * 2);
}

// Hands out services from *resume on, as many as fit: records first, texts after them.
EnumServicesCall ManagerInParts(const std::vector<ActiveService>& services) {
  return [&services](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned, DWORD* resume) {
    DWORD to = *resume, used = 0, rest = 0;
    for (DWORD i = *resume; i < services.size(); ++i) rest += RecordSize(services[i]);
    while (to < services.size() && used + RecordSize(services[to]) <= size) {
      used += RecordSize(services[to++]);
    }
    auto* records = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSW*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(records + (to - *resume));
    for (DWORD i = *resume; i < to; ++i, ++records) {
      *records = {};
      for (auto [field, source] : {std::pair{&records->lpServiceName, &services[i].name},
                                   std::pair{&records->lpDisplayName, &services[i].display_name}}) {
        *field = text;
        std::memcpy(text, source->c_str(), (source->size() + 1) * 2);
        text += source->size() + 1;
      }
      records->ServiceStatusProcess.dwProcessId = services[i].process_id;
    }
    *returned = to - *resume;
    *needed = rest - used;
    *resume = to == services.size() ? 0 : to;
    return static_cast<DWORD>(to == services.size() ? ERROR_SUCCESS : ERROR_MORE_DATA);
  };
}

std::vector<std::wstring> Names(const std::vector<ActiveService>& services) {
  std::vector<std::wstring> names;
  for (const ActiveService& service : services) names.push_back(service.name);
  return names;
}

TEST(ServiceEnumerationTest, EveryServiceComesOnceWhateverTheFirstBuffer) {
  // Display names of up to 273 characters: the last records fit no 600-byte buffer.
  std::vector<ActiveService> services;
  for (int i = 0; i < 40; ++i) {
    services.push_back({L"Service" + std::to_wstring(i), std::wstring(i * 7, L'd'), 100u + i});
  }
  for (DWORD first_buffer : {1u, 600u, 4096u, 64u * 1024}) {
    SCOPED_TRACE(first_buffer);
    const auto read = ReadActiveServices(ManagerInParts(services), first_buffer);
    ASSERT_EQ(Names(read), Names(services));
    EXPECT_EQ(read[39].display_name, services[39].display_name);
    EXPECT_EQ(read[39].process_id, 139u);
  }
}

TEST(ServiceEnumerationTest, WinesManagerGivesTheSameListFromATooSmallBuffer) {
  ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  ASSERT_TRUE(manager);
  const auto whole = Names(ReadActiveServices(ActiveWin32Services(manager.get())));
  EXPECT_FALSE(whole.empty());
  EXPECT_EQ(Names(ReadActiveServices(ActiveWin32Services(manager.get()), 1)), whole);
}

}  // namespace
}  // namespace proclens::win32
