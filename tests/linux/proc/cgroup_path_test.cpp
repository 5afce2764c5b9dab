// The control-group path of a process, from the bytes of /proc/PID/cgroup.

#include "platform/linux/proc/cgroup_path.h"

#include <gtest/gtest.h>

namespace proclens::linux_port {
namespace {

TEST(CgroupPathTest, UnifiedElseNamedSystemdHierarchy) {
  struct Case {
    const char* text;
    std::optional<std::string> path;
  };
  const Case cases[] = {
      {"0::/system.slice/ssh.service\n", "/system.slice/ssh.service"},
      // Hybrid: the unified line wins where it says more than the root.
      {"12:pids:/x\n1:name=systemd:/user.slice/a.scope\n0::/user.slice/a.scope\n", "/user.slice/a.scope"},
      // v1 only, where the kernel still names the unified root.
      {"9:name=systemd:/system.slice/cron.service\n8:pids:/\n0::/\n", "/system.slice/cron.service"},
      {"0::/\n", "/"},
      {"4:memory:/docker/abc\n", std::nullopt},
      {"0::relative\n", std::nullopt},
      {"garbage\n0:\n", std::nullopt},
      {"", std::nullopt},
      // A path may hold ':' and needs no line end.
      {"0::/a:b.scope", "/a:b.scope"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ProcessCgroupPath(c.text), c.path);
  }
}

TEST(CgroupPathTest, NamesOutermostFirst) {
  EXPECT_EQ(CgroupPathNames("/user.slice//user-1000.slice/a.scope/"),
            (std::vector<std::string_view>{"user.slice", "user-1000.slice", "a.scope"}));
  EXPECT_TRUE(CgroupPathNames("/").empty());
}

}  // namespace
}  // namespace proclens::linux_port
