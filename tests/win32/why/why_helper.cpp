// The processes that the tests of "why a process runs" look at:
//   service  a service of its own process, running until it is told to stop
//   wait     waits a minute (the tests end it sooner)
//   spawn    starts a copy of itself in wait mode and ends at once, with the
//            copy's process id as its exit code

#include <windows.h>

#include <cstring>
#include <string>

namespace {

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
  // A service of its own process takes whatever name it was installed under.
  wchar_t any_name[] = L"";
  SERVICE_TABLE_ENTRYW table[] = {{any_name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}

int SpawnAndEnd() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" wait";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return 0;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return static_cast<int>(started.dwProcessId);
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "service") == 0) return RunService();
  if (std::strcmp(mode, "spawn") == 0) return SpawnAndEnd();
  if (std::strcmp(mode, "wait") == 0) Sleep(60000);
  return 0;
}
