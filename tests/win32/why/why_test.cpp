// Why a process runs, the Win32 pieces, against Wine's service manager and
// processes. This program is also the process they look at: "service" runs as
// a service until stopped, "wait" waits a minute, "spawn" starts a waiting copy
// and ends at once with the copy's pid as its exit code.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hosted_services.h"
#include "platform/win32/win32_process_parent.h"
#include "platform/win32/win32_process_user.h"
#include "platform/win32/win32_service_enumeration.h"
#include "platform/win32/win32_text.h"

#include <sddl.h>

namespace proclens::win32 {
namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// A copy of this program in a mode, ended with the object.
struct Copy {
  explicit Copy(const wchar_t* mode) {
    std::wstring command = L"\"" + OwnPath() + L"\" " + mode;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
      return;
    KernelHandle thread(started.hThread);
    process.reset(started.hProcess);
    pid = started.dwProcessId;
  }
  ~Copy() { TerminateProcess(process.get(), 0); }
  KernelHandle process;
  DWORD pid = 0;
};

// Windows hands out the list in parts, records first and texts after them,
// continuing from the resume handle; Wine's manager answers all or nothing.
EnumServicesCall ManagerInParts(const std::vector<ActiveService>& services) {
  const auto size_of = [](const ActiveService& s) {
    return static_cast<DWORD>(sizeof(ENUM_SERVICE_STATUS_PROCESSW) + (s.name.size() + s.display_name.size() + 2) * 2);
  };
  return [&services, size_of](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned, DWORD* resume) {
    DWORD to = *resume, used = 0, rest = 0;
    for (DWORD i = *resume; i < services.size(); ++i) rest += size_of(services[i]);
    while (to < services.size() && used + size_of(services[to]) <= size) used += size_of(services[to++]);
    auto* record = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSW*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(record + (to - *resume));
    for (DWORD i = *resume; i < to; ++i, ++record) {
      *record = {};
      for (auto [field, source] : {std::pair{&record->lpServiceName, &services[i].name},
                                   std::pair{&record->lpDisplayName, &services[i].display_name}}) {
        *field = static_cast<wchar_t*>(std::memcpy(text, source->c_str(), (source->size() + 1) * 2));
        text += source->size() + 1;
      }
      record->ServiceStatusProcess.dwProcessId = services[i].process_id;
    }
    *returned = to - *resume;
    *needed = rest - used;
    *resume = to == services.size() ? 0 : to;
    return static_cast<DWORD>(to == services.size() ? ERROR_SUCCESS : ERROR_MORE_DATA);
  };
}

TEST(ServiceListTest, EveryServiceComesOnceWhateverTheFirstBuffer) {
  // Display names of up to 273 characters: the last records fit no 600-byte buffer.
  std::vector<ActiveService> services;
  for (DWORD i = 0; i < 40; ++i) services.push_back({L"S" + std::to_wstring(i), std::wstring(i * 7, L'd'), 100 + i});
  for (DWORD first_buffer : {1u, 600u, 64u * 1024}) {
    SCOPED_TRACE(first_buffer);
    const auto read = ReadActiveServices(ManagerInParts(services), first_buffer);
    ASSERT_EQ(read.size(), services.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].name, services[i].name);
      EXPECT_EQ(read[i].display_name, services[i].display_name);
      EXPECT_EQ(read[i].process_id, services[i].process_id);
    }
  }
}

// Windows runs many services in one svchost.exe; Wine gives each its own process.
TEST(ServiceListTest, ServicesOfOneProcessStayTogetherInTheManagersOrder) {
  const auto grouped = GroupByProcess({{L"Dnscache", L"DNS Client", 912}, {L"Stopping", L"No process", 0},
                                       {L"Dhcp", L"DHCP Client", 912}, {L"Spooler", L"Print Spooler", 2044}},
                                      [](const std::wstring& name) { return L"on " + name; });
  ASSERT_EQ(grouped.size(), 2u);
  ASSERT_EQ(grouped.at(912).size(), 2u);
  EXPECT_EQ(grouped.at(912)[0].name, "Dnscache");
  EXPECT_EQ(grouped.at(912)[1].display_name, "DHCP Client");
  EXPECT_EQ(grouped.at(912)[1].description, "on Dhcp");
}

DWORD StateOf(SC_HANDLE service, DWORD* pid = nullptr) {
  SERVICE_STATUS_PROCESS status = {};
  DWORD size = 0;
  QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status), &size);
  if (pid) *pid = status.dwProcessId;
  return status.dwCurrentState;
}

bool Reaches(SC_HANDLE service, DWORD state) {
  for (int i = 0; i < 600 && StateOf(service) != state; ++i) Sleep(100);
  return StateOf(service) == state;
}

// This program installed as a service: stopped and deleted however the test ends.
struct InstalledService {
  explicit InstalledService(const std::wstring& name)
      : manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)),
        service(CreateServiceW(manager.get(), name.c_str(), L"ProcLens Test Service", SERVICE_ALL_ACCESS,
                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                               (L"\"" + OwnPath() + L"\" service").c_str(), nullptr, nullptr, nullptr, nullptr,
                               nullptr)) {}
  ~InstalledService() {
    SERVICE_STATUS status = {};
    if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) Reaches(service.get(), SERVICE_STOPPED);
    DeleteService(service.get());
  }
  // A new prefix's manager refuses starts while it starts its own services.
  bool Start() {
    for (int i = 0; i < 60; ++i, Sleep(100)) {
      if (StartServiceW(service.get(), 0, nullptr)) return Reaches(service.get(), SERVICE_RUNNING);
      if (GetLastError() != ERROR_SERVICE_DATABASE_LOCKED) return false;
    }
    return false;
  }
  ServiceHandle manager;
  ServiceHandle service;
};

TEST(HostedServicesTest, AnInstalledServiceIsListedUnderItsProcessWithItsDescription) {
  const std::wstring name = L"ProcLensTest" + std::to_wstring(GetCurrentProcessId());
  InstalledService installed(name);
  ASSERT_TRUE(installed.Start());
  DWORD pid = 0;
  StateOf(installed.service.get(), &pid);
  // Indirect texts stay as the manager gives them; the ANSI build's texts are Windows-1252.
  const struct { const wchar_t* set; const char* expected; } rows[] = {
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
}

TEST(ProcessParentTest, AParentIdNamesTheParentOnlyWhileAnOlderProcessHoldsIt) {
  const std::optional<std::uint64_t> unknown;
  const auto parents = ParentsOf({{0, 0, "[System Process]", unknown}, {4, 0, "System", 10},
                                  {600, 4, "smss.exe", 20}, {700, 600, "csrss.exe", 30},
                                  {800, 650, "winlogon.exe", 40}, {900, 1000, "cmd.exe", 50},
                                  {1000, 7, "reused.exe", 60}, {1100, 1200, "child.exe", 70},
                                  {1200, 8, "unopened.exe", unknown}, {1300, 1300, "self.exe", 80},
                                  {1400, 700, "same-tick.exe", 30}});
  const struct { std::uint32_t child; std::optional<ParentProcess> parent; } rows[] = {
      {0, std::nullopt},                                   // the idle process records none
      {4, std::nullopt},                                   // nor does System
      {600, ParentProcess{4, false, "System"}},
      {800, ParentProcess{650, true, ""}},                 // no process of that id runs
      {900, ParentProcess{1000, true, ""}},                // its id names a younger process
      {1100, ParentProcess{1200, false, "unopened.exe"}},  // a time unknown: believed
      {1300, std::nullopt},                                // its own id
      {1400, ParentProcess{700, false, "csrss.exe"}},      // started within one tick
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.child);
    ASSERT_EQ(parents.count(row.child), row.parent ? 1u : 0u);
    if (!row.parent) continue;
    EXPECT_EQ(parents.at(row.child).pid, row.parent->pid);
    EXPECT_EQ(parents.at(row.child).ended, row.parent->ended);
    EXPECT_EQ(parents.at(row.child).exe_file, row.parent->exe_file);
  }
}

TEST(ProcessParentTest, AChildsParentIsThisTestUntilTheParentEnds) {
  Copy child(L"wait");
  ASSERT_TRUE(child.process);
  auto parents = ParentsOf(ReadProcessTree());
  ASSERT_TRUE(parents.count(child.pid));
  EXPECT_EQ(parents.at(child.pid).pid, GetCurrentProcessId());
  EXPECT_FALSE(parents.at(child.pid).ended);
  const std::wstring own = OwnPath();
  EXPECT_EQ(parents.at(child.pid).exe_file, NarrowFromWide(own.substr(own.find_last_of(L'\\') + 1)));

  Copy spawner(L"spawn");
  ASSERT_EQ(WaitForSingleObject(spawner.process.get(), 30000), WAIT_OBJECT_0);
  DWORD grandchild = 0;
  ASSERT_TRUE(GetExitCodeProcess(spawner.process.get(), &grandchild));
  ASSERT_NE(grandchild, 0u);
  KernelHandle grandchild_process(OpenProcess(PROCESS_TERMINATE, FALSE, grandchild));
  parents = ParentsOf(ReadProcessTree());
  TerminateProcess(grandchild_process.get(), 0);
  ASSERT_TRUE(parents.count(grandchild));
  EXPECT_EQ(parents.at(grandchild).pid, spawner.pid);
  EXPECT_TRUE(parents.at(grandchild).ended);
  EXPECT_EQ(parents.at(grandchild).exe_file, "");
}

TEST(ProcessUserTest, AccountsAreNamedWithTheirDomainElseBySid) {
  wchar_t user[256] = {}, computer[256] = {};
  DWORD user_size = 256, computer_size = 256;
  ASSERT_TRUE(GetUserNameW(user, &user_size) && GetComputerNameW(computer, &computer_size));
  EXPECT_EQ(ProcessUserName(GetCurrentProcessId()), NarrowFromWide(std::wstring(computer) + L"\\" + user));
  EXPECT_EQ(ProcessUserName(0xFFFFFFF0u), std::nullopt);  // cannot be opened: not known
  const struct { const wchar_t* sid; const char* text; } rows[] = {
      {L"S-1-5-18", "NT AUTHORITY\\SYSTEM"},
      {L"S-1-1-0", "Everyone"},
      {L"S-1-5-21-1-2-3-4242", "S-1-5-21-1-2-3-4242"},
  };
  for (const auto& row : rows) {
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(row.sid, &sid));
    EXPECT_EQ(AccountText(sid), row.text);
    LocalFree(sid);
  }
}

SERVICE_STATUS_HANDLE status_handle = nullptr;
HANDLE stop_requested = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status = {};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(status_handle, &status);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) SetEvent(stop_requested);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, wchar_t** argv) {
  status_handle = RegisterServiceCtrlHandlerExW(argv[0], OnControl, nullptr);
  if (!status_handle) return;
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stop_requested, 120000);
  Report(SERVICE_STOPPED);
}

int RunService() {
  stop_requested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  wchar_t any_name[] = L"";  // a service of its own process takes the name it was installed under
  SERVICE_TABLE_ENTRYW table[] = {{any_name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}

}  // namespace
}  // namespace proclens::win32

int main(int argc, char** argv) {
  using namespace proclens::win32;
  const std::string mode = argc == 2 ? argv[1] : "";
  if (mode == "service") return RunService();
  if (mode == "wait") {
    Sleep(60000);  // the tests end it sooner
    return 0;
  }
  if (mode == "spawn") {
    Copy waiting(L"wait");
    waiting.process.reset(nullptr);  // leaves it running
    return static_cast<int>(waiting.pid);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
