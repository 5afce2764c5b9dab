// The unit that a cgroup path names, from literal paths and /proc/PID/cgroup texts.

#include "platform/linux/units/cgroup_unit.h"

#include <gtest/gtest.h>

#include "linux/units/unit_test_support.h"

namespace proclens::linux_port {
namespace {

const std::string kId(64, 'a');

TEST(CgroupUnitTest, NamesTheUnitAsItsManagerDoes) {
  const std::string user = "/user.slice/user-1000.slice/user@1000.service";
  const std::pair<std::string, std::string> cases[] = {
      {"/", "none"},
      {"/system.slice", "none"},
      {"/init.scope", "system init.scope"},
      {"/system.slice/ssh.service", "system ssh.service"},
      {"/system.slice/system-getty.slice/getty@tty1.service", "system getty@tty1.service"},
      // Below its first unit the tree is that unit's own, scopes included.
      {"/system.slice/build.service/worker/step.scope", "system build.service"},
      {"/user.slice/user-1000.slice/session-2.scope", "system session-2.scope"},
      // The user's manager keeps units of its own, nested scopes its units'.
      {user + "/app.slice/foo.service", "user 1000 foo.service"},
      {user + "/init.scope", "user 1000 init.scope"},
      {user + "/app.slice/app-term-7.scope/tab.scope", "user 1000 app-term-7.scope"},
      {user, "system user@1000.service"},
      {user + "/stray", "system user@1000.service"},
      // Only the system manager's user@UID.service leads to a user's manager.
      {user + "/app.slice/user@0.service/x.service", "user 1000 user@0.service"},
      {"/user.slice/user@4294967295.service/app.slice/x.service", "system user@4294967295.service"},
      // Names keep their own escapes; the cgroup's "_" goes.
      {"/system.slice/system-systemd\\x2dfsck.slice/systemd-fsck@dev-disk-by\\x2duuid-1.service",
       "system systemd-fsck@dev-disk-by\\x2duuid-1.service"},
      {"/system.slice/_cpu.service", "system cpu.service"},
      {"/system.slice/__x.service", "system _x.service"},
      {"/system.slice/docker-" + kId + ".scope", "container system docker-" + kId + ".scope"},
      {"/kubepods.slice/kubepods-pod1.slice/cri-containerd-" + kId + ".scope",
       "container system cri-containerd-" + kId + ".scope"},
      {"/machine.slice/machine-web.scope/payload/system.slice/sshd.service", "container system machine-web.scope"},
      {"/lxc.payload.c1/system.slice/cron.service", "container system lxc.payload.c1"},
      {"/system.slice/lxc@c1.service/lxc.payload.c1/init.scope", "container system lxc.payload.c1"},
      {user + "/user.slice/libpod-" + kId + ".scope/container", "container user 1000 libpod-" + kId + ".scope"},
      // The runtime's own monitor is no container.
      {"/machine.slice/libpod-conmon-" + kId + ".scope", "system libpod-conmon-" + kId + ".scope"},
      {"/system.slice/docker-abc.scope", "system docker-abc.scope"},
      {"/system.slice/getty@.service", "none"},
      {"/system.slice/multi-user.target", "none"},
      {"/system.slice/a b.service", "none"},
      {"/docker/" + kId, "none"},
  };
  for (const auto& [path, shown] : cases) EXPECT_EQ(units_test::Shown(UnitFromCgroupPath(path)), shown) << path;
}

TEST(CgroupUnitTest, ReadsTheHierarchyThatSystemdRuns) {
  const std::pair<const char*, const char*> cases[] = {
      {"0::/system.slice/cron.service\n", "system cron.service"},
      {"12:pids:/x.service\n1:name=systemd:/system.slice/cron.service\n0::/\n", "system cron.service"},
      {"1:name=systemd:/user.slice/user-0.slice/session-c1.scope\n0::/user.slice/user-0.slice/session-c1.scope\n",
       "system session-c1.scope"},
      {"4:memory:/system.slice/cron.service\n", "none"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(units_test::Shown(UnitFromCgroupFile(text)), shown) << text;
}

}  // namespace
}  // namespace proclens::linux_port
