// A child moved into a unit's cgroup of the named systemd hierarchy (cgroup
// v1, mounted where systemd mounts it) is seen in that unit, through the
// child's own /proc/PID/cgroup. The test leaves the hierarchy as it was.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "linux/support/live_process.h"
#include "linux/support/run_command.h"
#include "linux/units/unit_test_support.h"
#include "platform/linux/base/unique_fd.h"
#include "platform/linux/linux_platform.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;

const fs::path kHierarchy = "/sys/fs/cgroup/systemd";

std::set<fs::path> Folders() {
  std::set<fs::path> folders;
  std::error_code error;
  for (fs::recursive_directory_iterator it(kHierarchy, error), end; !error && it != end; it.increment(error))
    if (it->is_directory(error)) folders.insert(it->path());
  return folders;
}

bool MoveInto(const fs::path& cgroup, pid_t pid) {
  std::ofstream procs(cgroup / "cgroup.procs");
  procs << pid << std::flush;
  return procs.good();
}

// system.slice/NAME made for the test (system.slice too, where it was
// missing); the process goes back where it was and both folders go, however
// the test ends.
class ScratchUnit {
 public:
  ScratchUnit(const std::string& name, pid_t pid) : pid_(pid) {
    std::ifstream cgroup("/proc/" + std::to_string(pid) + "/cgroup");
    for (std::string line; std::getline(cgroup, line);)
      if (line.find(":name=systemd:") != std::string::npos) home_ = kHierarchy / line.substr(line.rfind(':') + 2);
    std::error_code error;
    made_slice_ = fs::create_directory(kHierarchy / "system.slice", error);
    path_ = kHierarchy / "system.slice" / name;
    fs::create_directory(path_, error);
  }
  ~ScratchUnit() {
    MoveInto(home_, pid_);
    ::rmdir(path_.c_str());
    if (made_slice_) ::rmdir((kHierarchy / "system.slice").c_str());
  }
  const fs::path& path() const { return path_; }

 private:
  pid_t pid_;
  fs::path home_ = kHierarchy, path_;
  bool made_slice_ = false;
};

std::string Shown(const ProcessFacts& facts) {
  std::string text = facts.user.value_or("no user");
  if (facts.parent) text += " parent " + std::to_string(facts.parent->pid) + (facts.parent->ended ? " ended" : " " + facts.parent->name);
  if (facts.unit) text += " unit " + facts.unit->name + (facts.unit->user_manager ? " of a user" : "");
  if (facts.container) text += " container " + facts.container->id;
  return text;
}

// A list fill takes every process's group from one walk of the hierarchies,
// and its parent and user from what its snapshot read: the same facts as each
// process's own files give.
void ExpectTheFillsFactsAsOwnFilesSay(pid_t child) {
  ContainerCache containers{SystemContainerReaders()};
  UnitDescriptions units{SetupForThisViewer()};
  ProcessRecords records;
  LinuxSnapshotOps snapshots;
  snapshots.KeepRecordsIn(records);
  LinuxProcessFactsOps in_fill(containers, units, "/proc/", &records), alone(containers, units);
  // Before and after the fill, to leave out processes that changed meanwhile
  // (the other tests' processes change their users and end).
  std::map<std::uint32_t, std::string> before;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") == std::string::npos) before[std::stoul(name)] = Shown(alone.FactsOf(std::stoul(name)));
  }
  const auto snapshot = snapshots.CreateSnapshot();
  ASSERT_TRUE(snapshot);
  in_fill.Refresh();
  std::size_t compared = 0;
  for (SnapshotEntry entry; snapshot->Next(entry);) {
    const std::string filled = Shown(in_fill.FactsOf(entry.pid));
    const std::string after = Shown(alone.FactsOf(entry.pid));
    if (before[entry.pid] != after) continue;
    ++compared;
    EXPECT_EQ(filled, after) << "process " << entry.pid;
    if (entry.pid == static_cast<std::uint32_t>(child)) {
      EXPECT_NE(filled.find(" unit proclens"), std::string::npos) << filled;
    }
  }
  EXPECT_GT(compared, 1u);
}

TEST(LiveCgroupTest, ChildInAServicesCgroupRunsInThatService) {
  if (::access((kHierarchy / "cgroup.procs").c_str(), W_OK) != 0)
    GTEST_SKIP() << "no writable named systemd hierarchy at " << kHierarchy;
  const std::set<fs::path> before = Folders();
  // Named as systemd escapes a '-' that is no separator.
  const std::string name = "proclens\\x2dtest-" + std::to_string(::getpid()) + "-" +
                           std::to_string(std::random_device()() % 100000) + ".service";
  const UniqueFd proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  {
    linux_test::Child child("/bin/sleep", linux_test::SleepArgs("sleep"));
    const ScratchUnit unit(name, child.pid());
    ASSERT_TRUE(MoveInto(unit.path(), child.pid()));
    const auto found = UnitOfProcess(proc.get(), static_cast<std::uint32_t>(child.pid()));
    EXPECT_EQ(units_test::Shown(found), "system " + name);
    std::cout << "child " << child.pid() << " runs in " << units_test::Shown(found) << "\n";
    // What proclens-cli says of it, as a person and a script read it; no
    // unit file names the test's unit, so it has no description.
    const std::string pid = std::to_string(child.pid());
    const auto why = testing::RunCommand(std::string(PROCLENS_CLI_PATH) + " why " + pid + " 2>&1");
    EXPECT_EQ(why.status, 0);
    EXPECT_NE(why.out.find("\nunit: " + name + " of the system\nparent: " + std::to_string(::getpid()) + " "),
              std::string::npos)
        << why.out;
    std::cout << why.out;
    const auto list = nlohmann::json::parse(testing::RunCommand(std::string(PROCLENS_CLI_PATH) + " list --json").out);
    const auto row = std::find_if(list.begin(), list.end(), [&](const auto& item) { return item["pid"] == child.pid(); });
    ASSERT_NE(row, list.end());
    EXPECT_EQ(row->at("unit"), nlohmann::json({{"name", name}, {"description", ""}, {"manager", "system"}}));
    EXPECT_EQ(row->at("parent").at("pid"), ::getpid());
    ExpectTheFillsFactsAsOwnFilesSay(child.pid());
  }
  EXPECT_EQ(Folders(), before);
}

}  // namespace
}  // namespace proclens::linux_port
