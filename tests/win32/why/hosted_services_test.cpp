// The services that processes host, from Wine's own service manager: one that
// Wine runs, and one that the test installs, starts, stops and deletes.

#include <gtest/gtest.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hosted_services.h"
#include "platform/win32/win32_text.h"
#include "win32/why/why_helper.h"

namespace proclens::win32 {
namespace {

bool ListsAnywhere(const ServicesByProcess& services, const std::string& name) {
  for (const auto& [pid, hosted] : services) {
    for (const HostedService& service : hosted) {
      if (_stricmp(service.name.c_str(), name.c_str()) == 0) return true;  // names are case-blind
    }
  }
  return false;
}

SERVICE_STATUS_PROCESS StatusOf(SC_HANDLE service) {
  SERVICE_STATUS_PROCESS status = {};
  DWORD size = 0;
  QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                       sizeof(status), &size);
  return status;
}

// A new prefix's manager starts its own services for a while after the prefix is made.
bool ReachesState(SC_HANDLE service, DWORD state) {
  for (int i = 0; i < 600 && StatusOf(service).dwCurrentState != state; ++i) Sleep(100);
  return StatusOf(service).dwCurrentState == state;
}

TEST(HostedServicesTest, WinesPlugAndPlayServiceIsListedUnderItsProcess) {
  ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  ServiceHandle service(OpenServiceW(manager.get(), L"PlugPlay", SERVICE_QUERY_STATUS));
  ASSERT_TRUE(ReachesState(service.get(), SERVICE_RUNNING));
  const std::uint32_t pid = StatusOf(service.get()).dwProcessId;
  const ServicesByProcess services = ReadHostedServices();
  ASSERT_TRUE(services.count(pid));
  ASSERT_EQ(services.at(pid).size(), 1u);
  EXPECT_EQ(services.at(pid)[0].name, "PlugPlay");
  EXPECT_EQ(services.at(pid)[0].display_name, "Plug and Play Service");
  EXPECT_EQ(services.at(pid)[0].description, "Enables automatic configuration of devices");
}

bool Stop(SC_HANDLE service) {
  SERVICE_STATUS status = {};
  return ControlService(service, SERVICE_CONTROL_STOP, &status) &&
         ReachesState(service, SERVICE_STOPPED);
}

// The helper, installed as a service: stopped and deleted however the test ends.
struct InstalledService {
  explicit InstalledService(const std::wstring& name)
      : manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)),
        service(CreateServiceW(manager.get(), name.c_str(), L"ProcLens Test Service",
                               SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                               SERVICE_ERROR_IGNORE,
                               (L"\"" + testing::WhyHelperPath() + L"\" service").c_str(),
                               nullptr, nullptr, nullptr, nullptr, nullptr)) {}
  ~InstalledService() {
    Stop(service.get());
    DeleteService(service.get());
  }
  // A new prefix's manager refuses starts while it starts its own services.
  bool Start() {
    for (int i = 0; i < 60; ++i, Sleep(100)) {
      if (StartServiceW(service.get(), 0, nullptr)) return ReachesState(service.get(), SERVICE_RUNNING);
      if (GetLastError() != ERROR_SERVICE_DATABASE_LOCKED) return false;
    }
    return false;
  }
  ServiceHandle manager;
  ServiceHandle service;
};

TEST(HostedServicesTest, AnInstalledServiceIsListedWithItsDescriptionUntilDeleted) {
  const std::wstring name = L"ProcLensTest" + std::to_wstring(GetCurrentProcessId());
  InstalledService installed(name);
  ASSERT_TRUE(installed.Start());
  const std::uint32_t pid = StatusOf(installed.service.get()).dwProcessId;
  // Indirect texts stay as the manager gives them; the ANSI build's texts are Windows-1252.
  const struct { const wchar_t* set; const char* expected; } rows[] = {
      {L"Answers the tests of hosted services", "Answers the tests of hosted services"},
      {L"@%SystemRoot%\\system32\\proclens.dll,-101", "@%SystemRoot%\\system32\\proclens.dll,-101"},
      {L"Pr\u00fcft Dienste", "Pr\xfc" "ft Dienste"},
  };
  for (const auto& row : rows) {
    SERVICE_DESCRIPTIONW description = {const_cast<wchar_t*>(row.set)};
    ASSERT_TRUE(ChangeServiceConfig2W(installed.service.get(), SERVICE_CONFIG_DESCRIPTION, &description));
    const ServicesByProcess services = ReadHostedServices();
    ASSERT_TRUE(services.count(pid));
    ASSERT_EQ(services.at(pid).size(), 1u);
    EXPECT_EQ(services.at(pid)[0].name, NarrowFromWide(name));
    EXPECT_EQ(services.at(pid)[0].display_name, "ProcLens Test Service");
    EXPECT_EQ(services.at(pid)[0].description, row.expected);
  }
  ASSERT_TRUE(Stop(installed.service.get()));
  ASSERT_TRUE(DeleteService(installed.service.get()));
  EXPECT_FALSE(ListsAnywhere(ReadHostedServices(), NarrowFromWide(name)));
}

// Windows runs many services in one svchost.exe; Wine gives each its own process.
TEST(HostedServicesTest, ServicesOfOneProcessStayTogetherInTheManagersOrder) {
  const std::vector<ActiveService> active = {{L"Dnscache", L"DNS Client", 912},
                                             {L"Stopping", L"No process", 0},
                                             {L"Dhcp", L"DHCP Client", 912},
                                             {L"Spooler", L"Print Spooler", 2044}};
  const auto grouped = GroupByProcess(active, [](const std::wstring& name) { return L"on " + name; });
  ASSERT_EQ(grouped.size(), 2u);
  ASSERT_EQ(grouped.at(912).size(), 2u);
  EXPECT_EQ(grouped.at(912)[0].name, "Dnscache");
  EXPECT_EQ(grouped.at(912)[1].display_name, "DHCP Client");
  EXPECT_EQ(grouped.at(912)[1].description, "on Dhcp");
  EXPECT_EQ(grouped.at(2044)[0].name, "Spooler");
}

}  // namespace
}  // namespace proclens::win32
