#pragma once
// The benchmarks' command lines: "--flag NUMBER" pairs.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace proclens::bench {

// The number after `flag`, or `fallback` when the flag is absent; -1 when it is malformed.
inline long NumberAfter(const std::vector<std::string>& args, const char* flag, long fallback) {
  const auto found = std::find(args.begin(), args.end(), flag);
  if (found == args.end()) return fallback;
  if (found + 1 == args.end()) return -1;
  char* end = nullptr;
  const long value = std::strtol(found[1].c_str(), &end, 10);
  return (*end == '\0' && value > 0) ? value : -1;
}

}  // namespace proclens::bench
