#pragma once
// The shell as the main window's actions use it: hand a file, folder or
// address to another program, and the default beep.

#include <cstdint>
#include <optional>
#include <string>

namespace proclens {

// Who owns a window the shell may open: nobody, or the program's main window.
enum class ShellOwner { None, MainWindow };

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
inline constexpr int kShow = 5;        // SW_SHOW

// ShellExecuteA succeeded when its result, as an unsigned number, is above 32.
inline bool ShellSucceeded(std::uintptr_t result) { return result > 32; }

class ShellOps {
 public:
  virtual ~ShellOps() = default;
  // ShellExecuteA(owner, verb, file, parameters, directory, show): absent
  // parameters or directory are passed as null. Returns the shell's result.
  virtual std::uintptr_t Execute(ShellOwner owner, const std::string& verb, const std::string& file,
                                 const std::optional<std::string>& parameters,
                                 const std::optional<std::string>& directory, int show) = 0;
  // MessageBeep(type).
  virtual void Beep(unsigned type) = 0;
  // The characters that end a folder in a full path: "\\:" on Windows; on
  // Linux only "/", because backslashes and colons are ordinary file-name
  // characters there.
  virtual const char* FolderSeparators() const = 0;
  // Where the file manager finds the program of process pid that the list
  // names by path: the path itself, but for a process that sees another root
  // (a container), whose program lies below that root here.
  virtual std::string PathToShow(std::uint32_t pid, const std::string& path) {
    (void)pid;
    return path;
  }
};

}  // namespace proclens
