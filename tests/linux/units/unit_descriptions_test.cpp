// Descriptions from a fake manager on a private bus, else from the unit files
// of a tree of the test's own; a bus that is missing or never answers costs
// the time-out once.

#include "platform/linux/units/unit_descriptions.h"

#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "linux/support/live_process.h"
#include "linux/units/fake_systemd.h"
#include "linux/units/unit_test_support.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
using units_test::FakeSystemd;
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
    const std::pair<const char*, const char*> files[] = {{"system/ghost.service", "Ghost from its file"},
                                                         {"system/files-only.service", "Only in a file"},
                                                         {"system/ssh.service", "Shell from its file"},
                                                         {"user-4242/mail.service", "Another user's mail"}};
    for (const auto& [file, description] : files)
      units_test::WriteFile(tree_.path() / file, units_test::UnitText(description));
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
  std::vector<std::string> Shown(const std::vector<UnitDescription>& descriptions) const {
    std::vector<std::string> lines;
    for (const UnitDescription& description : descriptions)
      lines.push_back(units_test::Shown(description, tree_.path()));
    return lines;
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
    const std::vector<std::string> expected = {"OpenBSD Secure Shell server (manager)",
                                               "File System Check on /dev/disk/by-uuid/1 (manager)",
                                               "none",
                                               "Ghost from its file (system/ghost.service)",
                                               "Only in a file (system/files-only.service)",
                                               "The viewer's own app (manager)",
                                               "Another user's mail (user-4242/mail.service)",
                                               "none"};
    // Asked from a worker thread, as the window asks; then kept, and known
    // to a list fill without asking again.
    EXPECT_EQ(descriptions.Known(units[0]), std::nullopt);
    std::vector<std::string> from_worker;
    std::thread([&] { from_worker = Shown(descriptions.Describe(units)); }).join();
    EXPECT_EQ(from_worker, expected);
    EXPECT_EQ(descriptions.Known(units[0]), "OpenBSD Secure Shell server");
    EXPECT_EQ(descriptions.Known(units[7]), std::nullopt) << "a container's scope is no unit";
    EXPECT_EQ(Shown(descriptions.Describe(units)), expected);
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
  // GLib's timers fire to the millisecond, sometimes one early.
  const Case cases[] = {{silent.address(), kTimeout}, {"unix:path=/nonexistent/bus", {}}, {"", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    UnitDescriptions descriptions(Setup(c.address));
    auto start = Clock::now();
    EXPECT_EQ(Shown(descriptions.Describe({System("ssh.service")})),
              std::vector<std::string>{"Shell from its file (system/ssh.service)"});
    const auto first = Clock::now() - start;
    EXPECT_GE(first, c.at_least - std::chrono::milliseconds(5));
    EXPECT_LT(first, c.at_least + std::chrono::milliseconds(150));
    start = Clock::now();
    EXPECT_EQ(Shown(descriptions.Describe({System("files-only.service")})),
              std::vector<std::string>{"Only in a file (system/files-only.service)"});
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(50));
  }
  EXPECT_EQ(silent.calls(), 1);
}

}  // namespace
}  // namespace proclens::linux_port
