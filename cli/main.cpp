#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/command.h"

namespace proclens::cli {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

}  // namespace proclens::cli

namespace {

int PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: proclens-cli COMMAND [ARGS]\ncommands:\n");
  for (const auto& command : proclens::cli::Commands()) std::fprintf(out, "  %s\n", command.usage);
  return out == stdout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  proclens::cli::UseBinaryStandardOutput();
  if (argc < 2) return PrintUsage(stderr);
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return PrintUsage(stdout);
  for (const auto& command : proclens::cli::Commands()) {
    if (name != command.name) continue;
    try {
      return command.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "proclens-cli %s: %s\n", command.name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "proclens-cli: unknown command '%s'\n", name.c_str());
  return PrintUsage(stderr);
}
