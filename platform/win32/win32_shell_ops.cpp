#include "platform/win32/win32_shell_ops.h"

namespace proclens::win32 {
namespace {

const char* OrNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

}  // namespace

std::uintptr_t Win32ShellOps::Execute(ShellOwner owner, const std::string& verb,
                                      const std::string& file,
                                      const std::optional<std::string>& parameters,
                                      const std::optional<std::string>& directory, int show) {
  HWND owner_window = owner == ShellOwner::MainWindow && main_window_ ? main_window_() : nullptr;
  HINSTANCE result = ShellExecuteA(owner_window, verb.c_str(), file.c_str(), OrNull(parameters),
                                   OrNull(directory), show);
  return reinterpret_cast<std::uintptr_t>(result);
}

}  // namespace proclens::win32
