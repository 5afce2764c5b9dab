#pragma once
// Facts about processes as a test sets them, with a count of how often each
// question was asked.

#include <cstdint>
#include <map>

#include "platform/process_facts_ops.h"

namespace proclens::fakes {

class FakeProcessFacts : public ProcessFactsOps {
 public:
  void Refresh() override { ++refreshes; }
  ProcessFacts FactsOf(std::uint32_t pid) override {
    ++facts_asked;
    const auto found = by_pid.find(pid);
    return found == by_pid.end() ? ProcessFacts{} : found->second;
  }
  void Describe(ProcessFacts& facts) override {
    ++describes;
    if (facts.unit && facts.unit->description.empty()) facts.unit->description = unit_description;
  }

  std::map<std::uint32_t, ProcessFacts> by_pid;
  std::string unit_description;  // what "systemd" answers for any unit
  int refreshes = 0;
  int facts_asked = 0;
  int describes = 0;
};

}  // namespace proclens::fakes
