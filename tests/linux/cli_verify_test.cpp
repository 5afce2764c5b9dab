// proclens-cli verify and list --verify, run as a script would run them.

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "linux/run_command.h"

namespace proclens::testing {
namespace {

CommandOutput Cli(const std::string& args) {
  return RunCommand(std::string(PROCLENS_CLI_PATH) + " " + args + " 2>/dev/null");
}

TEST(CliVerify, OneRecordPerArgumentAndSuccessOnlyWhenEveryFileIsTheInstalledOne) {
  // A process is checked as the file the catalogue resolves for it.
  const std::string own_program = std::filesystem::read_symlink("/proc/self/exe").string();
  const CommandOutput both = Cli("verify --json /usr/bin/bash " + std::to_string(::getpid()));
  EXPECT_EQ(both.status, 1);  // this test program belongs to no package
  const auto list = nlohmann::json::parse(both.out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], nlohmann::json({{"file", "/usr/bin/bash"}, {"state", "matches"}, {"package", "bash"}}));
  EXPECT_EQ(list[1]["state"], "no-package");
  EXPECT_EQ(list[1]["file"], own_program);

  const CommandOutput line = Cli("verify /usr/bin/bash");
  EXPECT_EQ(line.out, "/usr/bin/bash\tmatches\tbash\n");
  EXPECT_EQ(line.status, 0);
  EXPECT_EQ(Cli("verify").status, 2);
  EXPECT_EQ(Cli("verify --bogus /usr/bin/bash").status, 2);
}

TEST(CliVerify, ListGivesEveryItemItsState) {
  const auto list = nlohmann::json::parse(Cli("list --json --verify").out);
  ASSERT_FALSE(list.empty());
  bool own_found = false;
  for (const auto& item : list) {
    ASSERT_TRUE(item.contains("state")) << item.dump();
    if (item["pid"] == ::getpid()) own_found = item["state"] == "no-package";
  }
  EXPECT_TRUE(own_found);
}

}  // namespace
}  // namespace proclens::testing
