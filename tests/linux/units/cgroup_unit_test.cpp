// The unit that a cgroup path names, from literal paths and /proc/PID/cgroup texts.

#include "platform/linux/units/cgroup_unit.h"

#include <gtest/gtest.h>

namespace proclens::linux_port {
namespace {

using Kind = CgroupUnit::Kind;

const std::string kId(64, 'a');

CgroupUnit System(std::string name) { return {Kind::kUnit, std::move(name), UnitManager::kSystem, 0}; }
CgroupUnit User(std::string name, std::uint32_t uid) { return {Kind::kUnit, std::move(name), UnitManager::kUser, uid}; }
CgroupUnit Container(std::string name, UnitManager manager = UnitManager::kSystem, std::uint32_t uid = 0) {
  return {Kind::kContainerScope, std::move(name), manager, uid};
}

TEST(CgroupUnitTest, NamesTheUnitAsItsManagerDoes) {
  const std::string user = "/user.slice/user-1000.slice/user@1000.service";
  struct Case {
    std::string path;
    std::optional<CgroupUnit> unit;
  };
  const Case cases[] = {
      {"/", std::nullopt},
      {"/system.slice", std::nullopt},
      {"/init.scope", System("init.scope")},
      {"/system.slice/ssh.service", System("ssh.service")},
      {"/system.slice/system-getty.slice/getty@tty1.service", System("getty@tty1.service")},
      // Below its first unit the tree is that unit's own, scopes included.
      {"/system.slice/build.service/worker/step.scope", System("build.service")},
      {"/user.slice/user-1000.slice/session-2.scope", System("session-2.scope")},
      // The user's manager keeps units of its own, nested scopes its units'.
      {user + "/app.slice/foo.service", User("foo.service", 1000)},
      {user + "/init.scope", User("init.scope", 1000)},
      {user + "/app.slice/app-term-7.scope/tab.scope", User("app-term-7.scope", 1000)},
      {user, System("user@1000.service")},
      {user + "/stray", System("user@1000.service")},
      // Only the system manager's user@UID.service leads to a user's manager.
      {user + "/app.slice/user@0.service/x.service", User("user@0.service", 1000)},
      {"/user.slice/user@4294967295.service/app.slice/x.service", System("user@4294967295.service")},
      // Names keep their own escapes; the cgroup's "_" goes.
      {"/system.slice/system-systemd\\x2dfsck.slice/systemd-fsck@dev-disk-by\\x2duuid-1.service",
       System("systemd-fsck@dev-disk-by\\x2duuid-1.service")},
      {"/system.slice/_cpu.service", System("cpu.service")},
      {"/system.slice/__x.service", System("_x.service")},
      {"/system.slice/docker-" + kId + ".scope", Container("docker-" + kId + ".scope")},
      {"/kubepods.slice/kubepods-pod1.slice/cri-containerd-" + kId + ".scope",
       Container("cri-containerd-" + kId + ".scope")},
      {"/machine.slice/machine-web.scope/payload/system.slice/sshd.service", Container("machine-web.scope")},
      {"/lxc.payload.c1/system.slice/cron.service", Container("lxc.payload.c1")},
      {"/system.slice/lxc@c1.service/lxc.payload.c1/init.scope", Container("lxc.payload.c1")},
      {user + "/user.slice/libpod-" + kId + ".scope/container",
       Container("libpod-" + kId + ".scope", UnitManager::kUser, 1000)},
      // The runtime's own monitor is no container.
      {"/machine.slice/libpod-conmon-" + kId + ".scope", System("libpod-conmon-" + kId + ".scope")},
      {"/system.slice/docker-abc.scope", System("docker-abc.scope")},
      {"/system.slice/getty@.service", std::nullopt},
      {"/system.slice/multi-user.target", std::nullopt},
      {"/system.slice/a b.service", std::nullopt},
      {"/docker/" + kId, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(UnitFromCgroupPath(c.path), c.unit);
  }
}

TEST(CgroupUnitTest, ReadsTheHierarchyThatSystemdRuns) {
  struct Case {
    const char* text;
    std::optional<CgroupUnit> unit;
  };
  const Case cases[] = {
      {"0::/system.slice/cron.service\n", System("cron.service")},
      {"12:pids:/x.service\n1:name=systemd:/system.slice/cron.service\n0::/\n", System("cron.service")},
      {"1:name=systemd:/user.slice/user-0.slice/session-c1.scope\n0::/user.slice/user-0.slice/session-c1.scope\n",
       System("session-c1.scope")},
      {"4:memory:/system.slice/cron.service\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(UnitFromCgroupFile(c.text), c.unit);
  }
}

}  // namespace
}  // namespace proclens::linux_port
