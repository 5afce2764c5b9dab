#pragma once
// proclens-cli's sub-commands. Each command file registers itself, so adding a
// command touches no other file.

#include <string>
#include <vector>

namespace proclens::cli {

struct Command {
  const char* name;   // the first argument that selects it, e.g. "list"
  const char* usage;  // one line for the help text, e.g. "list [--json]"
  // Gets the arguments after the name; returns the exit code (0 success, 1 failure).
  int (*run)(const std::vector<std::string>& args);
};

std::vector<Command>& Commands();

struct RegisterCommand {
  explicit RegisterCommand(Command command) { Commands().push_back(command); }
};

}  // namespace proclens::cli
