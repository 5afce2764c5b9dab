#pragma once
// What the programs answer on their command line: the version text that every
// program prints for --version, and the window's few options. The window reads
// nothing else from its command line; it takes no operands.

#include <string>
#include <string_view>
#include <vector>

namespace proclens {

// Exit status of a command line that asks for something the program does not
// offer, as GNU tools have it (0 success, 1 failure, 2 usage).
constexpr int kUsageExitStatus = 2;

// "PROGRAM (ProcLens) VERSION", the copyright and the licence, one per line.
std::string VersionText(std::string_view program);

enum class WindowStart { kShowWindow, kPrintHelp, kPrintVersion, kUsageError };

struct WindowCommandLine {
  WindowStart start = WindowStart::kShowWindow;
  // The help or version text, or the one line (no line end) naming the word
  // that is not understood.
  std::string text;
};

// args: the words after the program's name (on Linux, after the toolkit has
// taken its own options). The first word that decides wins, as with getopt.
WindowCommandLine ReadWindowCommandLine(std::string_view program, const std::vector<std::string>& args);

}  // namespace proclens
