// Our version texts against pefile's over every PE file that Debian's packages
// have installed here (Wine's DLLs and programs, the MinGW runtime, others).

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "infopage/version_info_reader.h"
#include "linux/support/version_test_support.h"
#include "platform/linux/linux_version_ops.h"

namespace proclens::testing {
namespace {

std::string Script() { return TestsFolder() + "/tools/pefile_version_dump.py"; }

bool PefileInstalled() { return RunCommand("/usr/bin/python3 -c 'import pefile' 2>/dev/null").status == 0; }

std::vector<nlohmann::json> PefileTexts() {
  const CommandOutput dump = RunCommand(Script() + " corpus | " + Script() + " dump --lang 0409");
  std::vector<nlohmann::json> texts;
  std::istringstream lines(dump.out);
  for (std::string line; std::getline(lines, line);) texts.push_back(nlohmann::json::parse(line));
  return texts;
}

TEST(VersionCorpus, OurTextsAgreeWithPefileOnEveryInstalledPeFile) {
  if (!PefileInstalled()) GTEST_SKIP() << "python3-pefile is not installed";
  const std::vector<nlohmann::json> theirs = PefileTexts();
  // Wine alone installs hundreds; fewer means the corpus was not found.
  ASSERT_GT(theirs.size(), 100u);

  FixedLanguageSystem system(0x0409);
  VersionsOver versions(system);  // what pefile reads: PE resources only
  linux_port::LinuxVersionOps& ops = versions.ops;
  int with_block = 0;
  for (const nlohmann::json& expected : theirs) {
    const std::string file = expected["file"];
    const VersionTexts ours = ReadVersionInfo(file, {ops, system});
    with_block += ours.ok;
    // Every disagreement found so far has been fixed; none is excused.
    EXPECT_EQ(ours.ok, expected["ok"].get<bool>()) << file;
    EXPECT_EQ(ours.description, expected["description"].get<std::string>()) << file;
    EXPECT_EQ(ours.product, expected["product"].get<std::string>()) << file;
    EXPECT_EQ(ours.company, expected["company"].get<std::string>()) << file;
  }
  EXPECT_GT(with_block, 50);
}

}  // namespace
}  // namespace proclens::testing
