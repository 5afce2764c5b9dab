#pragma once
// The window's command line, read before a display is opened, so that
// --help and --version answer on a terminal without one.

#include <optional>

namespace proclens::gtk_front {

// Takes the toolkit's own options (--display and the like) out of argv, then
// answers --help and --version and refuses any other word. nullopt: go on and
// show the window; else the program's exit status.
std::optional<int> AnswerCommandLine(int& argc, char**& argv);

}  // namespace proclens::gtk_front
