// proclens-cli version, run as the user would run it.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "linux/support/version_test_support.h"

namespace proclens::testing {
namespace {

std::string Seed(const std::string& name) { return TestsFolder() + "/fuzz/seeds/pe_version/" + name; }
// Neither a PE file nor a file of any package.
std::string NoVersion() { return TestsFolder() + "/fuzz/seeds/scan/block.bin"; }

TEST(CliVersion, PrintsOneTabSeparatedLinePerFile) {
  const CommandOutput run = RunCommand(std::string(PROCLENS_CLI_PATH) + " version " +
                                       Seed("pe32.dll") + " " + NoVersion() + " " + Seed("pe32plus_scan.dll"));
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Seed("pe32.dll") + "\tok\tSeed tool \xC3\xA4\xF0\x9F\x98\x80\tSeed\tSeed Co\n" +
                         NoVersion() + "\tnone\t\t\t\n" +
                         Seed("pe32plus_scan.dll") + "\tok\tScan me\t\tScanned\n");
}

TEST(CliVersion, PrintsJsonObjects) {
  const CommandOutput run =
      RunCommand(std::string(PROCLENS_CLI_PATH) + " version --json " + Seed("mingw64.exe") + " /nonexistent");
  ASSERT_EQ(run.status, 0);
  const auto list = nlohmann::json::parse(run.out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["file"], Seed("mingw64.exe"));
  EXPECT_EQ(list[0]["ok"], true);
  EXPECT_EQ(list[0]["description"], "Seed description ");
  EXPECT_EQ(list[0]["product"], "Seed Product");
  EXPECT_EQ(list[0]["company"], "Seed Company");
  EXPECT_EQ(list[1]["ok"], false);
  EXPECT_EQ(list[1]["company"], "");
}

TEST(CliVersion, WithoutFilesPrintsUsageAndFails) {
  EXPECT_EQ(RunCommand(std::string(PROCLENS_CLI_PATH) + " version 2>/dev/null").status, 2);
}

}  // namespace
}  // namespace proclens::testing
