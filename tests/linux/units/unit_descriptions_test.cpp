// Descriptions from a fake manager on a private bus, else from the unit files
// of a tree of the test's own; a bus that is missing or never answers costs
// the time-out once.

#include "platform/linux/units/unit_descriptions.h"

#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "linux/live_process.h"
#include "linux/units/fake_systemd.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
using units_test::FakeSystemd;
using Source = UnitDescription::Source;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kTimeout{200};
constexpr char kFsck[] = "systemd-fsck@dev-disk-by\\x2duuid-1.service";

CgroupUnit System(const std::string& name) { return {CgroupUnit::Kind::kUnit, name, UnitManager::kSystem, 0}; }
CgroupUnit User(const std::string& name, std::uint32_t uid) {
  return {CgroupUnit::Kind::kUnit, name, UnitManager::kUser, uid};
}

class UnitDescriptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write(tree_.path() / "system/ghost.service", "Ghost from its file");
    Write(tree_.path() / "system/files-only.service", "Only in a file");
    Write(tree_.path() / "system/ssh.service", "Shell from its file");
    Write(tree_.path() / "user-4242/mail.service", "Another user's mail");
  }
  static void Write(const fs::path& file, const std::string& description) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "[Unit]\nDescription=" << description << "\n";
  }
  UnitDescriptionSetup Setup(std::string system_bus, std::string session_bus = "") const {
    UnitDescriptionSetup setup;
    setup.system_bus = std::move(system_bus);
    setup.session_bus = std::move(session_bus);
    setup.viewer_uid = ::geteuid();
    setup.timeout = kTimeout;
    setup.system_folders = {tree_.path() / "system"};
    const fs::path root = tree_.path();
    setup.user_folders = [root](std::uint32_t uid) {
      return std::vector<fs::path>{root / ("user-" + std::to_string(uid))};
    };
    return setup;
  }
  UnitDescription File(const std::string& text, const std::string& file) const {
    return {Source::kUnitFile, text, tree_.path() / file};
  }

  linux_test::TempDir tree_;
};

TEST_F(UnitDescriptionsTest, TheManagerAnswersWhatItHasLoadedInOneCall) {
  const std::vector<units_test::FakeUnit> loaded = {
      {"ssh.service", "OpenBSD Secure Shell server"},
      {kFsck, "File System Check on /dev/disk/by-uuid/1"},
      {"run-u7.service", "run-u7.service"},
      {"ghost.service", "ghost.service", "not-found"},
      {"other.service", "Not asked for"},
  };
  for (const auto manner : {FakeSystemd::Manner::kAnswers, FakeSystemd::Manner::kOldManager}) {
    SCOPED_TRACE(static_cast<int>(manner));
    FakeSystemd system(loaded, manner);
    FakeSystemd session({{"app.service", "The viewer's own app"}}, FakeSystemd::Manner::kAnswers);
    ASSERT_TRUE(system.serving() && session.serving());
    UnitDescriptions descriptions(Setup(system.address(), session.address()));
    const std::vector<CgroupUnit> units = {
        System("ssh.service"), System(kFsck), System("run-u7.service"), System("ghost.service"),
        System("files-only.service"), User("app.service", ::geteuid()), User("mail.service", 4242),
        {CgroupUnit::Kind::kContainerScope, "docker-1.scope", UnitManager::kSystem, 0}};
    const std::vector<UnitDescription> expected = {
        {Source::kManager, "OpenBSD Secure Shell server", {}},
        {Source::kManager, "File System Check on /dev/disk/by-uuid/1", {}},
        {},
        File("Ghost from its file", "system/ghost.service"),
        File("Only in a file", "system/files-only.service"),
        {Source::kManager, "The viewer's own app", {}},
        File("Another user's mail", "user-4242/mail.service"),
        {}};
    EXPECT_EQ(descriptions.Describe(units), expected);
    EXPECT_EQ(descriptions.Describe(units), expected);
    EXPECT_EQ(system.calls(), manner == FakeSystemd::Manner::kAnswers ? 1 : 2);
    EXPECT_EQ(session.calls(), 1);
  }
}

TEST_F(UnitDescriptionsTest, ABusThatIsAwayCostsTheTimeOutOnce) {
  FakeSystemd silent({}, FakeSystemd::Manner::kSilent);
  ASSERT_TRUE(silent.serving());
  struct Case {
    std::string address;
    std::chrono::milliseconds at_least;
  };
  const Case cases[] = {{silent.address(), kTimeout}, {"unix:path=/nonexistent/bus", {}}, {"", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    UnitDescriptions descriptions(Setup(c.address));
    auto start = Clock::now();
    EXPECT_EQ(descriptions.Describe({System("ssh.service")}),
              std::vector<UnitDescription>{File("Shell from its file", "system/ssh.service")});
    const auto first = Clock::now() - start;
    EXPECT_GE(first, c.at_least);
    EXPECT_LT(first, c.at_least + std::chrono::milliseconds(150));
    start = Clock::now();
    EXPECT_EQ(descriptions.Describe({System("files-only.service")}),
              std::vector<UnitDescription>{File("Only in a file", "system/files-only.service")});
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(50));
  }
  EXPECT_EQ(silent.calls(), 1);
}

}  // namespace
}  // namespace proclens::linux_port
