// Which container a cgroup path names, from literal paths as each runtime and
// cgroup driver lays them out, and the look-alikes that name none.

#include "platform/linux/containers/container_ref.h"

#include <gtest/gtest.h>

#include "linux/containers/container_test_support.h"

namespace proclens::linux_port {
namespace {

const std::string& kId = containers_test::kPodmanId;
const std::string& kOuter = containers_test::kDockerId;
const std::string kPod = "/kubepods.slice/kubepods-burstable.slice/kubepods-burstable-pod3f1c_9a2e.slice/";

struct Case {
  std::string path;
  std::optional<ContainerRef> container;
};

ContainerRef Ref(ContainerRuntime runtime, std::string id) { return {runtime, std::move(id)}; }

TEST(ContainerOfCgroup, EachRuntimesLayoutNamesItsContainer) {
  using R = ContainerRuntime;
  const Case cases[] = {
      // Docker: cgroupfs (as here, v1 and v2 alike), systemd, nested in a pod.
      {"/docker/" + kId, Ref(R::kDocker, kId)},
      {"/system.slice/docker-" + kId + ".scope", Ref(R::kDocker, kId)},
      {kPod + "docker-" + kId + ".scope", Ref(R::kDocker, kId)},
      // Docker in Docker: the inner container is the root the process sees.
      {"/docker/" + kOuter + "/docker/" + kId, Ref(R::kDocker, kId)},
      // Podman: cgroupfs (as here), systemd, crun's child group, rootless on v2.
      {"/libpod_parent/libpod-" + kId, Ref(R::kPodman, kId)},
      {"/machine.slice/libpod-" + kId + ".scope", Ref(R::kPodman, kId)},
      {"/machine.slice/libpod-" + kId + ".scope/container", Ref(R::kPodman, kId)},
      {"/user.slice/user-1000.slice/user@1000.service/user.slice/libpod-" + kId + ".scope", Ref(R::kPodman, kId)},
      // containerd's CRI under systemd, and under cgroupfs in the pod's folder.
      {kPod + "cri-containerd-" + kId + ".scope", Ref(R::kContainerd, kId)},
      {"/kubepods/burstable/pod3f1c-9a2e/" + kId, Ref(R::kContainerd, kId)},
      {"/kubepods/pod3f1c-9a2e/" + kId, Ref(R::kContainerd, kId)},
      // CRI-O under systemd (with crun's child group) and cgroupfs.
      {kPod + "crio-" + kId + ".scope", Ref(R::kCrio, kId)},
      {kPod + "crio-" + kId + ".scope/container", Ref(R::kCrio, kId)},
      {"/kubepods/besteffort/pod3f1c-9a2e/crio-" + kId, Ref(R::kCrio, kId)},
      // LXC 4 and later, with the container's own services below; LXC 3's /lxc/NAME.
      {"/lxc.payload.web1", Ref(R::kLxc, "web1")},
      {"/lxc.payload.proj_web-1/system.slice/cron.service", Ref(R::kLxc, "proj_web-1")},
      {"/lxc/web1", Ref(R::kLxc, "web1")},
      // nspawn: its own scope (systemd escapes '-'), and machinectl's unit's payload.
      {"/machine.slice/machine-debian\\x2dtest.scope", Ref(R::kNspawn, "debian-test")},
      {"/machine.slice/machine-debian\\x2dtest.scope/payload/init.scope", Ref(R::kNspawn, "debian-test")},
      {"/machine.slice/systemd-nspawn@web.service/payload/system.slice/cron.service", Ref(R::kNspawn, "web")},
      // A helper on the host inside an outer container stays the outer one's.
      {"/docker/" + kOuter + "/machine.slice/machine-web.scope/supervisor", Ref(R::kDocker, kOuter)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ContainerOfCgroup(c.path), c.container);
  }
}

TEST(ContainerOfCgroup, MonitorsAndLookAlikesNameNoContainer) {
  const std::string short_id = kId.substr(1);
  std::string upper = kId;
  upper[0] = 'A';
  for (const std::string& path : std::vector<std::string>{
           // The runtimes' monitors and supervisors run on the host.
           "/machine.slice/libpod-conmon-" + kId + ".scope", "/libpod_parent/conmon",
           kPod + "crio-conmon-" + kId + ".scope", "/lxc.monitor.web1", "/machine.slice/machine-web.scope/supervisor",
           "/machine.slice/systemd-nspawn@web.service", "/machine.slice/systemd-nspawn@web.service/supervisor",
           // Services and sessions, and names that only look like a container's.
           "/system.slice/docker.service", "/system.slice/containerd.service",
           "/user.slice/user-1000.slice/session-2.scope", "/system.slice/docker-" + short_id + ".scope",
           "/system.slice/docker-" + upper + ".scope", "/system.slice/docker-" + kId + ".service",
           "/docker/" + kId + "0", "/dockerd/" + kId, "/kubepods/burstable/" + kId,
           "/machine.slice/machine-libpod_pod_" + kId + ".slice", "/machine.slice/machine-bad\\xzz.scope",
           "/machine.slice/machine-a_b.scope", "/user.slice/lxc/web1", "/lxc.payload.", "/lxc.payload..", "/", ""}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ContainerOfCgroup(path), std::nullopt);
  }
}

}  // namespace
}  // namespace proclens::linux_port
