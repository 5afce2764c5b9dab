#include "cli/output.h"

#include <cstdio>

namespace proclens::cli {

void AppendField(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.append(text);
  for (auto c = out.begin() + static_cast<std::ptrdiff_t>(start); c != out.end(); ++c) {
    if (*c == '\t' || *c == '\n' || *c == '\r') *c = ' ';
  }
}

std::string OneField(std::string text) {
  std::string field;
  AppendField(field, text);
  return field;
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
