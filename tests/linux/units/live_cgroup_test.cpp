// A child moved into a unit's cgroup of the named systemd hierarchy (cgroup
// v1, mounted where systemd mounts it) is seen in that unit, through the
// child's own /proc/PID/cgroup. The test leaves the hierarchy as it was.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "linux/live_process.h"
#include "platform/linux/unique_fd.h"
#include "platform/linux/units/cgroup_unit.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;

const fs::path kHierarchy = "/sys/fs/cgroup/systemd";

std::set<fs::path> Folders(const fs::path& root) {
  std::set<fs::path> folders;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error))
    if (it->is_directory(error)) folders.insert(it->path());
  return folders;
}

bool MoveInto(const fs::path& cgroup, pid_t pid) {
  std::ofstream procs(cgroup / "cgroup.procs");
  procs << pid << std::flush;
  return procs.good();
}

// system.slice/NAME made for the test (system.slice too, where it was
// missing); its process is moved back and both are removed, whatever the test
// found.
class ScratchUnit {
 public:
  ScratchUnit(std::string name, pid_t pid) : name_(std::move(name)), pid_(pid) {
    std::error_code error;
    made_slice_ = fs::create_directory(kHierarchy / "system.slice", error);
    fs::create_directory(path(), error);
  }
  ~ScratchUnit() {
    MoveInto(kHierarchy, pid_);
    ::rmdir((kHierarchy / "system.slice" / name_).c_str());
    if (made_slice_) ::rmdir((kHierarchy / "system.slice").c_str());
  }
  fs::path path() const { return kHierarchy / "system.slice" / name_; }

 private:
  std::string name_;
  pid_t pid_;
  bool made_slice_ = false;
};

TEST(LiveCgroupTest, ChildInAServicesCgroupRunsInThatService) {
  if (::access((kHierarchy / "cgroup.procs").c_str(), W_OK) != 0)
    GTEST_SKIP() << "no writable named systemd hierarchy at " << kHierarchy;
  // The child starts where this test runs: the hierarchy's root.
  std::ifstream own("/proc/self/cgroup");
  std::string line, own_path;
  while (std::getline(own, line))
    if (line.find(":name=systemd:") != std::string::npos) own_path = line.substr(line.rfind(':') + 1);
  if (own_path != "/") GTEST_SKIP() << "the test runs in " << own_path << ", not at the root";

  const std::set<fs::path> before = Folders(kHierarchy);
  const std::string name = "proclens-test-" + std::to_string(::getpid()) + "-" +
                           std::to_string(std::random_device()() % 100000) + ".service";
  const UniqueFd proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  {
    linux_test::Child child("/bin/sleep", linux_test::SleepArgs("sleep"));
    const ScratchUnit unit(name, child.pid());
    ASSERT_TRUE(MoveInto(unit.path(), child.pid()));
    const auto found = UnitOfProcess(proc.get(), static_cast<std::uint32_t>(child.pid()));
    EXPECT_EQ(found, (CgroupUnit{CgroupUnit::Kind::kUnit, name, UnitManager::kSystem, 0}));
    std::cout << "child " << child.pid() << " runs in " << (found ? found->name : "no unit") << "\n";
  }
  EXPECT_EQ(Folders(kHierarchy), before);
}

}  // namespace
}  // namespace proclens::linux_port
