#pragma once
// Runs a shell command for the tests and keeps what it wrote to standard output.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace proclens::testing {

// The command's standard output, and its exit status (-1 when it did not run).
struct CommandOutput {
  int status = -1;
  std::string out;
};

inline CommandOutput RunCommand(const std::string& command) {
  CommandOutput result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[8192];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace proclens::testing
