#pragma once
// The shell on Windows: ShellExecuteA and MessageBeep as they are.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/shell_ops.h"
#include "platform/win32/win32_api.h"

namespace proclens::win32 {

class Win32ShellOps : public ShellOps {
 public:
  // main_window answers the main window's handle when a call names it as owner;
  // it may be asked before the window exists and then answers null.
  explicit Win32ShellOps(std::function<HWND()> main_window) : main_window_(std::move(main_window)) {}

  std::uintptr_t Execute(ShellOwner owner, const std::string& verb, const std::string& file,
                         const std::optional<std::string>& parameters,
                         const std::optional<std::string>& directory, int show) override;
  void Beep(unsigned type) override { MessageBeep(type); }
  const char* FolderSeparators() const override { return "\\:"; }

 private:
  std::function<HWND()> main_window_;
};

}  // namespace proclens::win32
