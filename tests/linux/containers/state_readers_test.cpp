// Each runtime's reader over a state folder written on the spot: what its
// files say of a container, and the container by its ID alone where the file
// is malformed, a link out of the folder, a FIFO or too large to read.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "linux/containers/container_test_support.h"
#include "linux/origins/sandbox_support.h"
#include "platform/linux/containers/containerd/containerd_reader.h"
#include "platform/linux/containers/crio/crio_reader.h"
#include "platform/linux/containers/docker/docker_reader.h"
#include "platform/linux/containers/lxc/lxc_reader.h"
#include "platform/linux/containers/nspawn/nspawn_reader.h"
#include "platform/linux/containers/podman/podman_reader.h"

namespace proclens::linux_port {
namespace {

using containers_test::kDockerId;
using containers_test::kPodmanId;
using Kind = StateAnswer::Kind;
using Make = std::function<std::unique_ptr<ContainerStateReader>(const std::string&)>;

template <typename Reader>
Make Maker() {
  return [](const std::string& folder) { return std::make_unique<Reader>(folder); };
}

const std::string kImageId = "d93d229cf41a5cafd74288744b17a7de6227aecbef2bb003865556e9584757c0";
const std::string kOtherId = std::string(64, 'e');

// One container's state: the file the reader takes it from (relative to the
// state folder) and the other files beside it, then what the reader says.
struct Fixture {
  const char* label;
  Make make;
  ContainerRef ref;
  std::string record;
  std::string text;
  std::vector<std::pair<std::string, std::string>> others;
  Kind kind;
  ContainerInfo info;
  bool json = true;
};

std::string PodmanContainers() {
  // As containers/storage writes it (copied from this machine, the second
  // entry made without Podman's image-name).
  return R"([{"id":")" + kPodmanId + R"(","names":["plres-pod"],"image":")" + kImageId +
         R"(","layer":"d019","metadata":"{\"image-name\":\"localhost/plresearch:1\",\"image-id\":\")" + kImageId +
         R"(\",\"name\":\"plres-pod\"}"},{"id":")" + kOtherId + R"(","names":["second","alias"],"image":")" +
         kImageId + R"(","metadata":"{}"}])";
}

std::vector<Fixture> Fixtures() {
  using R = ContainerRuntime;
  const std::string docker_dir = "containers/" + kDockerId + "/";
  const std::string cri_bundle = "io.containerd.runtime.v2.task/k8s.io/" + kPodmanId + "/config.json";
  return {
      {"docker", Maker<DockerReader>(), {R::kDocker, kDockerId}, docker_dir + "config.v2.json",
       R"({"ID":")" + kDockerId + R"(","Name":"/plres-dock","Image":"sha256:a2c553d2",)"
       R"("Config":{"Hostname":"bbc44c852cf0","Image":"plresearch:1"},"State":{"Pid":28983,"Running":true}})",
       {}, Kind::kKnown, {R::kDocker, kDockerId, "plres-dock", "plresearch:1", ""}},
      {"docker by image ID", Maker<DockerReader>(), {R::kDocker, kDockerId}, docker_dir + "config.v2.json",
       R"({"Name":"/x","Image":"sha256:a2c553d2","Config":{}})", {}, Kind::kKnown,
       {R::kDocker, kDockerId, "x", "sha256:a2c553d2", ""}},
      {"docker, nested too deep to be anything", Maker<DockerReader>(), {R::kDocker, kDockerId},
       docker_dir + "config.v2.json", std::string(100000, '[') + std::string(100000, ']'), {}, Kind::kUnknown,
       {R::kDocker, kDockerId, "", "", ""}},
      {"podman", Maker<PodmanReader>(), {R::kPodman, kPodmanId}, "overlay-containers/containers.json",
       PodmanContainers(), {}, Kind::kKnown, {R::kPodman, kPodmanId, "plres-pod", "localhost/plresearch:1", ""}},
      {"podman, image named by images.json", Maker<PodmanReader>(), {R::kPodman, kOtherId},
       "overlay-containers/containers.json", PodmanContainers(),
       {{"overlay-images/images.json", R"([{"id":")" + kImageId + R"(","names":["localhost/other:2"]}])"}},
       Kind::kKnown, {R::kPodman, kOtherId, "second", "localhost/other:2", ""}},
      {"podman rootless (vfs)", Maker<PodmanReader>(), {R::kPodman, kPodmanId}, "vfs-containers/containers.json",
       PodmanContainers(), {{"vfs-images/images.json", "[]"}}, Kind::kKnown,
       {R::kPodman, kPodmanId, "plres-pod", "localhost/plresearch:1", ""}},
      {"podman, a container the list lacks", Maker<PodmanReader>(), {R::kPodman, std::string(64, 'a')},
       "overlay-containers/containers.json", PodmanContainers(), {}, Kind::kUnknown,
       {R::kPodman, std::string(64, 'a'), "", "", ""}},
      {"containerd", Maker<ContainerdReader>(), {R::kContainerd, kPodmanId}, cri_bundle,
       R"({"ociVersion":"1.1.0","annotations":{"io.kubernetes.cri.container-type":"container",)"
       R"("io.kubernetes.cri.container-name":"web","io.kubernetes.cri.image-name":"docker.io/library/nginx:1.25",)"
       R"("io.kubernetes.cri.sandbox-name":"web-5d8f7","io.kubernetes.cri.sandbox-namespace":"shop"}})",
       {{"io.containerd.runtime.v2.task/moby/" + kDockerId + "/config.json", "{}"}}, Kind::kKnown,
       {R::kContainerd, kPodmanId, "web", "docker.io/library/nginx:1.25", "shop/web-5d8f7"}},
      {"cri-o", Maker<CrioReader>(), {R::kCrio, kPodmanId}, "overlay-containers/" + kPodmanId + "/userdata/config.json",
       R"({"annotations":{"io.kubernetes.container.name":"web","io.kubernetes.cri-o.ContainerName":"k8s_web_web-5d8f7",)"
       R"("io.kubernetes.cri-o.Image":"quay.io/example/web:2","io.kubernetes.cri-o.ImageName":"quay.io/example/web@sha256:1",)"
       R"("io.kubernetes.pod.name":"web-5d8f7","io.kubernetes.pod.namespace":"shop"}})",
       {}, Kind::kKnown, {R::kCrio, kPodmanId, "web", "quay.io/example/web:2", "shop/web-5d8f7"}},
      {"lxc", Maker<LxcReader>(), {R::kLxc, "web1"}, "web1/config",
       "# Template used to create this container: /usr/share/lxc/templates/lxc-download\n"
       "# Parameters passed to the template: --dist alpine --release 3.19 --arch amd64\n"
       "lxc.rootfs.path = dir:/var/lib/lxc/web1/rootfs\nlxc.uts.name = web1\n",
       {}, Kind::kKnown, {R::kLxc, "web1", "web1", "lxc-download --dist alpine --release 3.19 --arch amd64", ""}, false},
      {"lxc, a cgroup named after a left-over one", Maker<LxcReader>(), {R::kLxc, "web1-2"}, "web1/config",
       "lxc.uts.name = web1\n", {}, Kind::kKnown, {R::kLxc, "web1-2", "web1", "", ""}, false},
      {"systemd-nspawn", Maker<NspawnReader>(), {R::kNspawn, "debian-test"}, "debian-test",
       "# This is private data. Do not parse.\nNAME=debian-test\nSCOPE=machine-debian\\x2dtest.scope\n"
       "SERVICE=nspawn\nROOT=/var/lib/machines/caf\\303\\251\\tx\nCLASS=container\nLEADER=1234\n",
       {{"unit:machine-debian\\x2dtest.scope", "debian-test"}}, Kind::kKnown,
       {R::kNspawn, "debian-test", "debian-test", "/var/lib/machines/caf\xc3\xa9\tx", ""}, false},
      {"nspawn, a virtual machine", Maker<NspawnReader>(), {R::kNspawn, "qemu-1-vm"}, "qemu-1-vm",
       "NAME=qemu-1-vm\nSERVICE=libvirt-qemu\nCLASS=vm\n", {}, Kind::kNoContainer, {R::kNspawn, "qemu-1-vm", "", "", ""},
       false},
  };
}

void WriteTree(const fs::path& folder, const Fixture& fixture) {
  WriteText(folder / fixture.record, fixture.text);
  for (const auto& [path, text] : fixture.others) WriteText(folder / path, text);
}

void ExpectAnswer(const Fixture& fixture, const fs::path& folder, Kind kind, const ContainerInfo& info) {
  const StateAnswer answer = fixture.make(folder.string())->Read(fixture.ref);
  EXPECT_EQ(answer.kind, kind);
  EXPECT_EQ(answer.info, info);
}

TEST(ContainerStateReaders, EachRuntimesFilesNameTheContainer) {
  for (const Fixture& fixture : Fixtures()) {
    SCOPED_TRACE(fixture.label);
    TempDir dir;
    WriteTree(dir.path(), fixture);
    ExpectAnswer(fixture, dir.path(), fixture.kind, fixture.info);
    // Without the runtime's files the container is known by its ID alone.
    ExpectAnswer(fixture, dir.path() / "missing", Kind::kUnknown, UnknownContainer(fixture.ref).info);
  }
}

// The record made hostile, in each of the ways a state folder can hold it.
struct Hostile {
  const char* label;
  bool json_only;     // a text format reads what a cut leaves of it
  bool needs_folder;  // the record lies in a folder of the state folder
  std::function<void(const fs::path& record, const std::string& text, const fs::path& outside)> make;
};

const Hostile kHostile[] = {
    {"cut short", true, false, [](const fs::path& record, const std::string& text, const fs::path&) {
       WriteText(record, text.substr(0, text.size() / 2));
     }},
    {"a link out of the folder", false, false, [](const fs::path& record, const std::string& text, const fs::path& outside) {
       WriteText(outside / "record", text);
       fs::remove(record);
       fs::create_symlink(outside / "record", record);
     }},
    {"in a folder that links out", false, true, [](const fs::path& record, const std::string& text, const fs::path& outside) {
       WriteText(outside / record.filename(), text);
       fs::remove_all(record.parent_path());
       fs::create_symlink(outside, record.parent_path());
     }},
    {"a FIFO", false, false, [](const fs::path& record, const std::string&, const fs::path&) {
       fs::remove(record);
       ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0);
     }},
    // Still well-formed, and larger than any runtime writes such a file.
    {"too large", false, false, [](const fs::path& record, const std::string& text, const fs::path&) {
       std::ofstream(record, std::ios::binary) << text << std::string(17u << 20, '\n');
     }},
};

TEST(ContainerStateReaders, AHostileRecordLeavesTheContainerKnownByItsIdAlone) {
  for (const Fixture& fixture : Fixtures()) {
    // One container of each runtime's.
    if (fixture.label != RuntimeName(fixture.ref.runtime)) continue;
    for (const Hostile& hostile : kHostile) {
      // nspawn's record lies in the state folder itself, whose own path is the caller's.
      if ((hostile.json_only && !fixture.json) ||
          (hostile.needs_folder && fixture.record.find('/') == std::string::npos))
        continue;
      SCOPED_TRACE(std::string(fixture.label) + ", " + hostile.label);
      TempDir dir;
      WriteTree(dir.path() / "state", fixture);
      hostile.make(dir.path() / "state" / fixture.record, fixture.text, dir.path() / "outside");
      ExpectAnswer(fixture, dir.path() / "state", Kind::kUnknown, UnknownContainer(fixture.ref).info);
    }
  }
}

TEST(ContainerStateReaders, StateFolderRefusesNamesThatLeaveIt) {
  TempDir dir;
  WriteText(dir.path() / "state/a/file", "inside");
  WriteText(dir.path() / "secret", "outside");
  const StateFolder folder((dir.path() / "state").string());
  EXPECT_EQ(folder.ReadFile("a/file", 100), "inside");
  EXPECT_EQ(folder.ReadFile("a/file", 5), std::nullopt);
  for (const char* name : {"../secret", "a/../../secret", "./a/file", "a//file", "", "a"})
    EXPECT_EQ(folder.ReadFile(name, 100), std::nullopt) << name;
  fs::create_directories(dir.path() / "state/b");
  fs::create_directory_symlink(dir.path(), dir.path() / "state/c");
  EXPECT_EQ(folder.FolderNames("", 10), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(folder.FolderNames("c", 10).empty());
}

}  // namespace
}  // namespace proclens::linux_port
