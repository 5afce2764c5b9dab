#pragma once
// A shell that records every call and answers from a script.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell_ops.h"

namespace proclens::fakes {

struct ShellCall {
  ShellOwner owner;
  std::string verb;
  std::string file;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
  int show;
  bool operator==(const ShellCall&) const = default;
};

class FakeShell : public ShellOps {
 public:
  std::deque<std::uintptr_t> results;  // one per call; 42 (success) once used up
  std::vector<ShellCall> calls;
  std::vector<unsigned> beeps;
  const char* separators = "\\:";

  std::uintptr_t Execute(ShellOwner owner, const std::string& verb, const std::string& file,
                         const std::optional<std::string>& parameters,
                         const std::optional<std::string>& directory, int show) override {
    calls.push_back({owner, verb, file, parameters, directory, show});
    if (results.empty()) return 42;
    const std::uintptr_t result = results.front();
    results.pop_front();
    return result;
  }
  void Beep(unsigned type) override { beeps.push_back(type); }
  const char* FolderSeparators() const override { return separators; }
};

}  // namespace proclens::fakes
