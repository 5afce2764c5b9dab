#pragma once
// proclens-cli's sub-commands. Each command file registers itself, so adding a
// command touches no other file. main.cpp reads every command line the same
// way (cli/arguments.h): a command runs only with the options it offers and
// as many operands as it takes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace proclens::cli {

struct Option {
  const char* name;     // e.g. "--json"
  const char* meaning;  // one line for `help COMMAND`
};

// A command line as its command gets it: the options given and the operands,
// in their order.
struct Arguments {
  std::vector<std::string> options;
  std::vector<std::string> operands;
  bool Has(std::string_view option) const;
};

constexpr std::size_t kAnyNumber = SIZE_MAX;

struct Command {
  const char* name;      // the first argument that selects it, e.g. "list"
  const char* operands;  // how the usage line names them: "", "URL", "FILE..."
  std::size_t min_operands;
  std::size_t max_operands;  // kAnyNumber for no limit
  std::vector<Option> options;
  const char* summary;  // one line in the list of commands
  const char* help;     // what `help NAME` says below the usage line
  // Returns the exit status: 0 success, 1 failure.
  int (*run)(const Arguments& args);
};

std::vector<Command>& Commands();

struct RegisterCommand {
  explicit RegisterCommand(Command command) { Commands().push_back(std::move(command)); }
};

}  // namespace proclens::cli
