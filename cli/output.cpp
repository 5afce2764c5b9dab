#include "cli/output.h"

#include <cstdio>

namespace proclens::cli {

std::string OneField(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

void PrintJson(const nlohmann::ordered_json& value) {
  const std::string text = value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::printf("%s\n", text.c_str());
}

bool FlushOutput(const char* command) {
  if (std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "proclens-cli %s: cannot write to standard output\n", command);
  return false;
}

}  // namespace proclens::cli
