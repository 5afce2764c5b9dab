#pragma once
// proclens.exe's command line: --help and --version answer without opening
// the window, and any other word is refused.

#include <optional>

namespace proclens::win32 {

// nullopt: go on and show the window; else the program's exit status. A GUI
// program has no console of its own: the text goes to the output its caller
// redirected, else to the console it was started from, else to a message box.
std::optional<int> AnswerCommandLine();

}  // namespace proclens::win32
