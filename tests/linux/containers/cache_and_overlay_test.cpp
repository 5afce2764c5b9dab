// The cache of containers (one look at a runtime's files per container for the
// whole run) and the upper layer of a process's root overlay, from literal
// mountinfo lines.

#include <gtest/gtest.h>

#include "linux/containers/container_test_support.h"
#include "platform/linux/containers/container_cache.h"
#include "platform/linux/proc/overlay_upper.h"

namespace proclens::linux_port {
namespace {

using containers_test::kDockerId;
using containers_test::kPodmanId;

// Names every container "web" and counts how often it is asked.
class CountingReader : public ContainerStateReader {
 public:
  CountingReader(ContainerRuntime runtime, StateAnswer::Kind kind, int* reads)
      : runtime_(runtime), kind_(kind), reads_(reads) {}
  ContainerRuntime runtime() const override { return runtime_; }
  StateAnswer Read(const ContainerRef& ref) override {
    ++*reads_;
    return {kind_, {ref.runtime, "a record's own ID", "web", "nginx", ""}};
  }

 private:
  ContainerRuntime runtime_;
  StateAnswer::Kind kind_;
  int* reads_;
};

TEST(ContainerCache, EachContainersFilesAreReadOncePerRun) {
  int docker_reads = 0, machine_reads = 0;
  std::vector<std::unique_ptr<ContainerStateReader>> readers;
  readers.push_back(
      std::make_unique<CountingReader>(ContainerRuntime::kDocker, StateAnswer::Kind::kKnown, &docker_reads));
  readers.push_back(
      std::make_unique<CountingReader>(ContainerRuntime::kNspawn, StateAnswer::Kind::kNoContainer, &machine_reads));
  ContainerCache cache(std::move(readers));
  const ContainerInfo web{ContainerRuntime::kDocker, kDockerId, "web", "nginx", ""};
  for (int process = 0; process < 100; ++process) {
    EXPECT_EQ(cache.ContainerOf("/docker/" + kDockerId), web);
    EXPECT_EQ(cache.ContainerOf("/system.slice/docker-" + kDockerId + ".scope"), web);
  }
  EXPECT_EQ(docker_reads, 1);
  EXPECT_EQ(cache.ContainerOf("/docker/" + kPodmanId)->id, kPodmanId);
  EXPECT_EQ(docker_reads, 2);
  // A runtime without a reader: the ID alone. A record that says it is none: none.
  EXPECT_EQ(cache.ContainerOf("/libpod_parent/libpod-" + kPodmanId),
            (ContainerInfo{ContainerRuntime::kPodman, kPodmanId, "", "", ""}));
  EXPECT_EQ(cache.ContainerOf("/machine.slice/machine-qemu\\x2d1\\x2dvm.scope"), std::nullopt);
  EXPECT_EQ(cache.ContainerOf("/machine.slice/machine-qemu\\x2d1\\x2dvm.scope"), std::nullopt);
  EXPECT_EQ(machine_reads, 1);
  EXPECT_EQ(cache.ContainerOf("/system.slice/cron.service"), std::nullopt);
}

// Docker's root here, copied from /proc/PID/mountinfo of a container's process.
const std::string kDockerRoot =
    "119 68 0:52 / / rw,relatime master:4 - overlay overlay rw,lowerdir=/var/lib/docker/overlay2/l/XKGN6TPXOB6C:"
    "/var/lib/docker/overlay2/l/I6E56DMS5CA3,upperdir=/var/lib/docker/overlay2/5addbf1c/diff,"
    "workdir=/var/lib/docker/overlay2/5addbf1c/work\n";
const std::string kProc = "120 119 0:55 / /proc rw,nosuid,nodev,noexec,relatime - proc proc rw\n";

TEST(RootOverlayUpperDir, TheUpperLayerOfTheOverlayAtTheProcessesRoot) {
  const struct {
    const char* label;
    std::string mountinfo;
    std::optional<std::string> upper;
  } cases[] = {
      {"Docker", kDockerRoot + kProc, "/var/lib/docker/overlay2/5addbf1c/diff"},
      {"Podman, among other overlays",
       "85 60 0:40 / /data rw - overlay overlay rw,lowerdir=/l2,upperdir=/data-upper,workdir=/w2\n"
       "80 53 0:41 / / rw,relatime - overlay overlay rw,lowerdir=/var/lib/containers/storage/overlay/l/6K5U,"
       "upperdir=/var/lib/containers/storage/overlay/d019/diff,workdir=/var/lib/containers/storage/overlay/d019/work,"
       "uuid=on\n" +
           kProc,
       "/var/lib/containers/storage/overlay/d019/diff"},
      {"escaped blank, comma and backslash",
       "80 53 0:41 / / rw - overlay overlay rw,lowerdir=/l,upperdir=/srv/my\\040data\\054x\\134y/diff,workdir=/w\n",
       "/srv/my data,x\\y/diff"},
      {"an empty source", "80 53 0:41 / / rw - overlay  rw,upperdir=/u,workdir=/w\n", "/u"},
      {"no overlay at the root (Podman's vfs driver, rootless)",
       "181 150 254:0 /home/u/.local/share/containers/storage/vfs/dir/e2e7 / rw,relatime - ext4 /dev/vda rw\n" + kProc,
       std::nullopt},
      {"covered by a later mount at /", kDockerRoot + "121 119 0:60 / / rw - tmpfs tmpfs rw\n", std::nullopt},
      {"only read-only layers", "80 53 0:41 / / ro - overlay overlay ro,lowerdir=/a:/b\n", std::nullopt},
      {"fuse-overlayfs, which shows no layers", "80 53 0:41 / / rw - fuse.fuse-overlayfs fuse-overlayfs rw,user_id=0\n",
       std::nullopt},
      {"an upperdir option of a mount elsewhere", kProc + "90 80 0:70 / /x rw - overlay o rw,upperdir=/u\n",
       std::nullopt},
      {"garbage", "80 53 0:41 / / rw overlay upperdir=/u\n\n-\n", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(RootOverlayUpperDir(c.mountinfo), c.upper);
  }
}

}  // namespace
}  // namespace proclens::linux_port
