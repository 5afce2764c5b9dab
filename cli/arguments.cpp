#include "cli/arguments.h"

#include <algorithm>

namespace proclens::cli {

bool Arguments::Has(std::string_view option) const {
  return std::find(options.begin(), options.end(), option) != options.end();
}

namespace {

constexpr std::size_t kSummaryColumn = 32;

bool Offers(const Command& command, const std::string& word) {
  return std::any_of(command.options.begin(), command.options.end(),
                     [&word](const Option& option) { return word == option.name; });
}

std::string UsageError(const Command& command, const std::string& what) {
  return std::string("proclens-cli ") + command.name + ": " + what + " (try 'proclens-cli help " +
         command.name + "')";
}

}  // namespace

ReadArguments ReadCommandLine(const Command& command, const std::vector<std::string>& words) {
  ReadArguments read;
  bool options_ended = false;
  for (const std::string& word : words) {
    if (options_ended || word == "-" || word.empty() || word[0] != '-') {
      read.arguments.operands.push_back(word);
    } else if (word == "--") {
      options_ended = true;
    } else if (word == "--help" || word == "-h") {
      read.help_asked = true;
      return read;
    } else if (Offers(command, word)) {
      if (!read.arguments.Has(word)) read.arguments.options.push_back(word);
    } else {
      read.error = UsageError(command, "unknown option '" + word + "'");
      return read;
    }
  }
  const std::vector<std::string>& operands = read.arguments.operands;
  if (operands.size() < command.min_operands) {
    read.error = UsageError(command, std::string("missing argument ") + command.operands);
  } else if (operands.size() > command.max_operands) {
    read.error = UsageError(command, "unexpected argument '" + operands[command.max_operands] + "'");
  }
  return read;
}

std::string UsageOf(const Command& command) {
  std::string usage = command.name;
  for (const Option& option : command.options) usage += std::string(" [") + option.name + "]";
  if (*command.operands) usage += std::string(" ") + command.operands;
  return usage;
}

std::string HelpOf(const Command& command) {
  std::string help = "usage: proclens-cli " + UsageOf(command) + "\n" + command.help + "\n";
  if (!command.options.empty()) {
    help += "\noptions:\n";
    for (const Option& option : command.options) {
      std::string name = std::string("  ") + option.name;
      name.resize(std::max<std::size_t>(name.size() + 2, 14), ' ');
      help += name + option.meaning + "\n";
    }
  }
  return help;
}

std::string GeneralHelp(const std::vector<Command>& commands) {
  std::string help =
      "usage: proclens-cli COMMAND [OPTION]... [ARGUMENT]...\n"
      "       proclens-cli help COMMAND\n"
      "       proclens-cli --help | --version\n"
      "The process list and the information pages of ProcLens, in a terminal.\n"
      "\ncommands:\n";
  for (const Command& command : commands) {
    std::string usage = "  " + UsageOf(command);
    usage.resize(std::max(usage.size() + 2, kSummaryColumn), ' ');
    help += usage + command.summary + "\n";
  }
  help +=
      "\nExit status: 0 success; 1 failure (for exists: the page does not answer; for verify: a\n"
      "file is not the installed one); 2 a command line that is not understood.\n";
  return help;
}

}  // namespace proclens::cli
