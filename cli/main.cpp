#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "cli/arguments.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/output.h"

namespace proclens::cli {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

}  // namespace proclens::cli

namespace {

using proclens::cli::Command;
using proclens::cli::Commands;

const Command* Find(const std::string& name) {
  for (const Command& command : Commands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

// Help and version go to standard output; an error is one line on standard error.
int Print(const std::string& text) {
  return std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

int UsageError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  return proclens::kUsageExitStatus;
}

int UnknownWord(const char* what, const std::string& word) {
  return UsageError("proclens-cli: unknown " + std::string(what) + " '" + word +
                    "' (try 'proclens-cli --help')");
}

// proclens-cli help [COMMAND]
int Help(const std::vector<std::string>& words) {
  if (words.empty()) return Print(proclens::cli::GeneralHelp(Commands()));
  if (words.size() > 1) {
    return UsageError("proclens-cli help: unexpected argument '" + words[1] + "' (try 'proclens-cli --help')");
  }
  const Command* command = Find(words[0]);
  if (!command) return UnknownWord("command", words[0]);
  return Print(proclens::cli::HelpOf(*command));
}

int Run(const Command& command, const std::vector<std::string>& words) {
  const proclens::cli::ReadArguments read = proclens::cli::ReadCommandLine(command, words);
  if (read.help_asked) return Print(proclens::cli::HelpOf(command));
  if (read.error) return UsageError(*read.error);
  try {
    return command.run(read.arguments);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "proclens-cli %s: %s\n", command.name, proclens::cli::Visible(e.what()).c_str());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  proclens::cli::UseBinaryStandardOutput();
  if (argc < 2) return UsageError("proclens-cli: missing command (try 'proclens-cli --help')");
  const std::string name = argv[1];
  const std::vector<std::string> words(argv + 2, argv + argc);
  if (name == "--help" || name == "-h") return Help({});
  if (name == "help") return Help(words);
  if (name == "--version") return Print(proclens::VersionText("proclens-cli"));
  if (const Command* command = Find(name)) return Run(*command, words);
  return UnknownWord(name.size() > 1 && name[0] == '-' ? "option" : "command", name);
}
