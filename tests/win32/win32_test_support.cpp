#include "win32/win32_test_support.h"

#include <vector>

#include <winternl.h>

#include "platform/win32/win32_text.h"

namespace proclens::win32::testing {
namespace {

// The long-path form, so that deep directories and files can be made and removed.
std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

void RemoveTree(const std::wstring& directory) {
  WIN32_FIND_DATAW found = {};
  HANDLE raw = FindFirstFileW(Extended(directory + L"\\*").c_str(), &found);
  if (raw != INVALID_HANDLE_VALUE) {
    FindHandle search(raw);
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = directory + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(Extended(child).c_str());
      }
    } while (FindNextFileW(search.get(), &found));
  }
  RemoveDirectoryW(Extended(directory).c_str());
}


// The native process creation, for executables whose path is too long for
// CreateProcessW; the image services must then report that long path.
struct NativeProcessInformation {
  ULONG length;
  HANDLE process;
  HANDLE thread;
  HANDLE client_process;
  HANDLE client_thread;
  unsigned char image_information[128];
};
using CreateParametersFn = NTSTATUS(NTAPI*)(RTL_USER_PROCESS_PARAMETERS**, const UNICODE_STRING*,
                                            const UNICODE_STRING*, const UNICODE_STRING*,
                                            const UNICODE_STRING*, PWSTR, const UNICODE_STRING*,
                                            const UNICODE_STRING*, const UNICODE_STRING*,
                                            const UNICODE_STRING*);
using DestroyParametersFn = NTSTATUS(NTAPI*)(RTL_USER_PROCESS_PARAMETERS*);
using CreateUserProcessFn = NTSTATUS(NTAPI*)(UNICODE_STRING*, ULONG, RTL_USER_PROCESS_PARAMETERS*,
                                             void*, void*, HANDLE, BOOLEAN, HANDLE, HANDLE,
                                             NativeProcessInformation*);

template <typename Fn>
Fn NtdllEntry(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

UNICODE_STRING Counted(std::wstring& text) {
  UNICODE_STRING counted;
  counted.Buffer = text.data();
  counted.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  counted.MaximumLength = counted.Length;
  return counted;
}

bool StartNative(std::wstring program, std::wstring command, PROCESS_INFORMATION& info) {
  const auto create_parameters = NtdllEntry<CreateParametersFn>("RtlCreateProcessParameters");
  const auto destroy_parameters = NtdllEntry<DestroyParametersFn>("RtlDestroyProcessParameters");
  const auto create_process = NtdllEntry<CreateUserProcessFn>("RtlCreateUserProcess");
  if (!create_parameters || !destroy_parameters || !create_process) return false;
  UNICODE_STRING image = Counted(program);
  UNICODE_STRING command_line = Counted(command);
  RTL_USER_PROCESS_PARAMETERS* parameters = nullptr;
  if (create_parameters(&parameters, &image, nullptr, nullptr, &command_line, nullptr, nullptr,
                        nullptr, nullptr, nullptr) != 0) {
    return false;
  }
  std::wstring nt_path = L"\\??\\" + program;
  UNICODE_STRING nt_image = Counted(nt_path);
  NativeProcessInformation native = {};
  native.length = sizeof(native);
  const NTSTATUS status = create_process(&nt_image, OBJ_CASE_INSENSITIVE, parameters, nullptr,
                                         nullptr, nullptr, FALSE, nullptr, nullptr, &native);
  destroy_parameters(parameters);
  if (status != 0) return false;
  ResumeThread(native.thread);  // the native call leaves the first thread suspended
  info.hProcess = native.process;
  info.hThread = native.thread;
  info.dwProcessId = GetProcessId(native.process);
  return true;
}

bool StartProcess(const std::wstring& program, std::wstring command, PROCESS_INFORMATION& info) {
  if (program.size() >= MAX_PATH) return StartNative(program, command, info);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info) != 0;
}

}  // namespace

std::wstring TestProgramPath() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

std::string Narrow(const std::wstring& text) { return NarrowFromWide(text); }

ScratchDirectory::ScratchDirectory() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  static unsigned serial = 0;
  path_ = std::wstring(temp) + L"proclens-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++serial);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() { RemoveTree(path_); }

std::wstring ScratchDirectory::DeepFilePath(std::size_t total_length,
                                            const std::wstring& file_name) const {
  std::wstring directory = path_;
  // Each level adds a separator and a name of up to 100 characters, until
  // the last level leaves room for exactly the file name.
  while (directory.size() + 1 + file_name.size() < total_length) {
    const std::size_t room = total_length - directory.size() - 1 - file_name.size();
    // A level needs a separator of its own; never leave a room of one.
    std::size_t level = room - 1 > 100 ? 100 : room - 1;
    if (level == 0) break;
    if (room - 1 - level == 1) --level;
    directory += L"\\" + std::wstring(level, L'd');
    CreateDirectoryW(Extended(directory).c_str(), nullptr);
  }
  return directory + L"\\" + file_name;
}

bool CopyFileTo(const std::wstring& from, const std::wstring& to) {
  return CopyFileW(Extended(from).c_str(), Extended(to).c_str(), FALSE) != 0;
}

ChildProcess::ChildProcess(const std::wstring& program) {
  static unsigned serial = 0;
  const std::string event_name = "proclens-child-ready-" + std::to_string(GetCurrentProcessId()) +
                                 "-" + std::to_string(++serial);
  KernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, event_name.c_str()));
  if (!ready) return;
  std::wstring command = L"\"child.exe\" --proclens-child " + WideFromNarrow(event_name);
  PROCESS_INFORMATION info = {};
  if (!StartProcess(program, command, info)) return;
  KernelHandle thread(info.hThread);
  process_.reset(info.hProcess);
  pid_ = info.dwProcessId;
  HANDLE waits[] = {ready.get(), process_.get()};
  running_ = WaitForMultipleObjects(2, waits, FALSE, 60000) == WAIT_OBJECT_0;
}

ChildProcess::~ChildProcess() {
  if (process_) {
    TerminateProcess(process_.get(), 0);
    WaitForSingleObject(process_.get(), 10000);
  }
}

}  // namespace proclens::win32::testing
