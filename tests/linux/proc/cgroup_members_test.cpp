// Every process's control group from one walk of a hierarchy's folders, and
// the same path as each process's own cgroup file would give.

#include "platform/linux/proc/cgroup_members.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/linux/proc/cgroup_path.h"
#include "linux/support/live_process.h"

namespace proclens::linux_port {
namespace {

// A hierarchy laid out as folders, each with the cgroup.procs text given;
// the groups on the way list no process, as in the kernel's own tree.
class FakeHierarchy {
 public:
  void Group(const std::string& folder, const std::string& procs) {
    auto path = dir_.path();
    for (const auto& name : std::filesystem::path(folder).relative_path()) {
      path /= name;
      std::filesystem::create_directory(path);
      if (!std::filesystem::exists(path / "cgroup.procs")) std::ofstream(path / "cgroup.procs");
    }
    std::ofstream(path / "cgroup.procs") << procs;
  }
  Mount MountedAs(std::string hierarchy, std::string root = "/") const {
    Mount mount;
    mount.mount_point = dir_.path().string();
    mount.root = std::move(root);
    mount.cgroup_hierarchy = std::move(hierarchy);
    return mount;
  }

 private:
  linux_test::TempDir dir_;
};

TEST(CgroupMembersTest, EachProcessIsInTheFolderThatListsIt) {
  FakeHierarchy tree;
  // The root's own list is not read: what no other group lists is there.
  tree.Group("/", "40\n");
  tree.Group("/system.slice/ssh.service", "40\n41\n");
  tree.Group("/user.slice/user-1000.slice/session-2.scope", "500\n0\n");
  // A threaded subtree lists one process in two groups: its own file names one only.
  tree.Group("/app.slice/threads/a", "77\n");
  tree.Group("/app.slice/threads/b", "77\n78");
  const auto members = ReadCgroupMembers(tree.MountedAs("0"), 100);
  ASSERT_TRUE(members);
  const std::pair<std::uint32_t, const char*> expected[] = {
      {1, "/"}, {2, "/"}, {40, "/system.slice/ssh.service"}, {41, "/system.slice/ssh.service"},
      {500, "/user.slice/user-1000.slice/session-2.scope"}, {78, "/app.slice/threads/b"},
      {77, nullptr}, {3, "/"}};
  for (const auto& [pid, path] : expected) {
    SCOPED_TRACE(pid);
    const std::string* group = members->GroupOf(pid);
    EXPECT_EQ(group ? group->c_str() : "none", std::string(path ? path : "none"));
  }
  // A mount of a subtree names its groups from that subtree's own path, and
  // its top group is read, since processes outside the subtree are in none.
  const auto subtree = ReadCgroupMembers(tree.MountedAs("0", "/machine.slice"), 100);
  EXPECT_EQ(*subtree->GroupOf(500), "/machine.slice/user.slice/user-1000.slice/session-2.scope");
  EXPECT_EQ(subtree->GroupOf(40), nullptr) << "listed by the top group and by a group below";
  EXPECT_EQ(subtree->GroupOf(3), nullptr);
  EXPECT_FALSE(ReadCgroupMembers(tree.MountedAs("0"), 3)) << "more folders than the limit";
  Mount missing = tree.MountedAs("0");
  missing.mount_point += "/absent";
  EXPECT_FALSE(ReadCgroupMembers(missing, 100));
}

TEST(CgroupMembersTest, PathsFollowTheRuleOfAProcesssOwnFile) {
  FakeHierarchy unified, named;
  unified.Group("/", "1\n9\n");
  unified.Group("/user.slice/a.scope", "7\n");
  named.Group("/", "1\n");
  named.Group("/system.slice/cron.service", "9\n");
  named.Group("/user.slice/a.scope", "7\n");
  const std::vector<Mount> hybrid = {unified.MountedAs("0"), named.MountedAs("name=systemd")};
  // This process (9) is at the unified root, so its named hierarchy answers.
  const char self[] = "9:name=systemd:/system.slice/cron.service\n8:pids:/\n0::/\n";
  const auto paths = CgroupPaths::Read(hybrid, self, 9);
  ASSERT_TRUE(paths);
  EXPECT_EQ(paths->PathOf(9), "/system.slice/cron.service");
  EXPECT_EQ(paths->PathOf(7), "/user.slice/a.scope");
  EXPECT_EQ(paths->PathOf(1), "/");
  EXPECT_EQ(paths->PathOf(12), "/") << "a process that no group below the roots lists";
  // The mounts show another view of the tree than this process's own file.
  EXPECT_FALSE(CgroupPaths::Read(hybrid, "9:name=systemd:/elsewhere.service\n0::/\n", 9));
  // A hierarchy that the own file names but no mount shows cannot be walked.
  EXPECT_FALSE(CgroupPaths::Read({unified.MountedAs("0")}, self, 9));
}

}  // namespace
}  // namespace proclens::linux_port
