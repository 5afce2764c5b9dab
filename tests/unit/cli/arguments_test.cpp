// How proclens-cli reads a command line, from the words themselves.

#include "cli/arguments.h"

#include <gtest/gtest.h>

namespace proclens::cli {
namespace {

const Command kCommand = {"verify", "PID|FILE...", 1, 2, {{"--json", "JSON"}}, "", "", nullptr};

TEST(ReadCommandLine, OptionsStandAnywhereBeforeTheirEndAndBadWordsAreNamed) {
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> options;
    std::vector<std::string> operands;
    bool help;
    const char* error;  // what the one line names, nullptr for none
  };
  const Case cases[] = {
      {{"1", "--json"}, {"--json"}, {"1"}, false, nullptr},
      {{"--json", "1", "--json"}, {"--json"}, {"1"}, false, nullptr},  // said twice, kept once
      {{"--", "--json"}, {}, {"--json"}, false, nullptr},              // a file named --json
      {{"-", ""}, {}, {"-", ""}, false, nullptr},                       // standard input, an empty name
      {{"--bogus", "--help"}, {}, {}, false, "unknown option '--bogus'"},
      {{"1", "--help", "--bogus"}, {}, {"1"}, true, nullptr},
      {{"-h"}, {}, {}, true, nullptr},
      {{}, {}, {}, false, "missing argument PID|FILE..."},
      {{"1", "2", "3"}, {}, {"1", "2", "3"}, false, "unexpected argument '3'"},
  };
  for (const Case& c : cases) {
    std::string words;
    for (const std::string& word : c.words) words += "[" + word + "]";
    SCOPED_TRACE(words);
    const ReadArguments read = ReadCommandLine(kCommand, c.words);
    EXPECT_EQ(read.help_asked, c.help);
    ASSERT_EQ(read.error.has_value(), c.error != nullptr) << read.error.value_or("");
    if (c.error != nullptr) {
      EXPECT_NE(read.error->find(c.error), std::string::npos) << *read.error;
      EXPECT_EQ(read.error->find('\n'), std::string::npos);
      continue;
    }
    if (c.help) continue;
    EXPECT_EQ(read.arguments.options, c.options);
    EXPECT_EQ(read.arguments.operands, c.operands);
  }
}

TEST(ReadCommandLine, UsageNamesEveryOptionAndTheOperands) {
  EXPECT_EQ(UsageOf(kCommand), "verify [--json] PID|FILE...");
  EXPECT_EQ(HelpOf(kCommand).substr(0, 43), "usage: proclens-cli verify [--json] PID|FIL");
}

}  // namespace
}  // namespace proclens::cli
