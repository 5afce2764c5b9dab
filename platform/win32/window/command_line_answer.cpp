#include "platform/win32/window/command_line_answer.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/win32/win32_handles.h"

namespace proclens::win32 {
namespace {

bool WriteAll(HANDLE out, const std::string& text) {
  DWORD written = 0;
  return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// The handle the caller gave the program (a pipe or a file when it redirected
// the output), else the console of the program that started this one.
bool WriteToCaller(DWORD which, const std::string& text) {
  const HANDLE inherited = GetStdHandle(which);
  if (inherited != nullptr && inherited != INVALID_HANDLE_VALUE) return WriteAll(inherited, text);
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const KernelHandle console(CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
  return console && WriteAll(console.get(), text);
}

}  // namespace

std::optional<int> AnswerCommandLine() {
  const std::vector<std::string> words(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
  const WindowCommandLine read = ReadWindowCommandLine("proclens", words);
  if (read.start == WindowStart::kShowWindow) return std::nullopt;
  const bool error = read.start == WindowStart::kUsageError;
  const std::string text = error ? read.text + "\n" : read.text;
  if (!WriteToCaller(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text)) {
    // Started from a shortcut or the Explorer: nowhere to write but the screen.
    MessageBoxA(nullptr, text.c_str(), "ProcLens", error ? MB_ICONERROR : MB_ICONINFORMATION);
  }
  return error ? kUsageExitStatus : 0;
}

}  // namespace proclens::win32
