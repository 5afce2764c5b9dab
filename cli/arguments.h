#pragma once
// How proclens-cli reads a command line, the same for every command, in the
// manner of GNU tools: options may stand anywhere before "--", "--help"
// anywhere asks for the command's help, and a word that is not understood is
// a usage error (exit status 2) named in one line.

#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"

namespace proclens::cli {

struct ReadArguments {
  bool help_asked = false;
  std::optional<std::string> error;  // one line without its end, naming the bad word
  Arguments arguments;
};

// words: what follows the command's name.
ReadArguments ReadCommandLine(const Command& command, const std::vector<std::string>& words);

// "list [--json] [--verify]"
std::string UsageOf(const Command& command);

// What `proclens-cli help NAME` prints.
std::string HelpOf(const Command& command);

// What `proclens-cli --help` prints: the usage and every command's summary.
std::string GeneralHelp(const std::vector<Command>& commands);

}  // namespace proclens::cli
