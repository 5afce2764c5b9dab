#include "app/command_line.h"

#include "proclens_version.h"

namespace proclens {

std::string VersionText(std::string_view program) {
  return std::string(program) + " (ProcLens) " PROCLENS_VERSION "\n" PROCLENS_COPYRIGHT
         "\nLicence: MIT. This is free software: you may change and share it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

namespace {

std::string HelpText(std::string_view program) {
  const std::string name(program);
  return "usage: " + name + " [--help | --version]\n"
         "Shows the running processes and, for the one you click, a page about its program.\n"
         "\n"
         "  --help     show this help and exit\n"
         "  --version  show the version and exit\n"
         "\n"
         "The same list, and the pages, in a terminal: proclens-cli --help\n";
}

WindowCommandLine UsageError(std::string_view program, const std::string& what) {
  const std::string name(program);
  return {WindowStart::kUsageError, name + ": " + what + " (try '" + name + " --help')"};
}

}  // namespace

WindowCommandLine ReadWindowCommandLine(std::string_view program, const std::vector<std::string>& args) {
  bool options_ended = false;
  for (const std::string& arg : args) {
    if (!options_ended && arg == "--") {
      options_ended = true;
    } else if (!options_ended && (arg == "--help" || arg == "-h")) {
      return {WindowStart::kPrintHelp, HelpText(program)};
    } else if (!options_ended && arg == "--version") {
      return {WindowStart::kPrintVersion, VersionText(program)};
    } else if (!options_ended && arg.size() > 1 && arg[0] == '-') {
      return UsageError(program, "unknown option '" + arg + "'");
    } else {
      return UsageError(program, "unexpected argument '" + arg + "'");
    }
  }
  return {};
}

}  // namespace proclens
