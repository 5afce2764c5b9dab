#include "platform/linux/origins/flatpak_origin.h"

#include <glib.h>
#include <gtest/gtest.h>

#include "catalogue/image_path.h"
#include "linux/live_process.h"
#include "linux/origins/sandbox_support.h"
#include "platform/linux/linux_process_ops.h"
#include "platform/linux/linux_system_info.h"
#include "platform/linux/origins/flatpak_info.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
using linux_test::Child;
using linux_test::TempDir;
using origins_test::WriteText;

constexpr char kApp[] = "org.example.Viewer";
constexpr char kMetainfo[] = R"(<component type="desktop-application"><id>org.example.Viewer</id>
  <name>Viewer</name><name xml:lang="de">Betrachter</name>
  <summary>Shows pictures</summary><developer_name>Example Studio</developer_name></component>)";
constexpr char kDesktop[] =
    "[Desktop Entry]\nType=Application\nName=Desktop Viewer\nComment=From the entry\nIcon=org.example.Viewer\n"
    "Exec=/usr/bin/flatpak run org.example.Viewer\n";

std::string DeployData(const char* origin) {
  GVariant* data = g_variant_ref_sink(g_variant_new("(ss@ast@a{sv})", origin, "abc123",
                                                    g_variant_new_strv(nullptr, 0), guint64{42},
                                                    g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0)));
  std::string bytes(static_cast<const char*>(g_variant_get_data(data)), g_variant_get_size(data));
  g_variant_unref(data);
  return bytes;
}

// An installation with the application deployed as Flatpak lays it out.
struct Installation {
  explicit Installation(const fs::path& root) : root(root) {
    WriteText(files / "share/metainfo/org.example.Viewer.metainfo.xml", kMetainfo);
    WriteText(deployment / "deploy", DeployData("example-remote"));
    WriteText(root / "exports/share/applications/org.example.Viewer.desktop", kDesktop);
    fs::create_directories(files / "bin");
    program = linux_test::CopySleep(files / "bin", "viewer", 60000);
    bare_app = root / "app/org.example.Bare/x86_64/stable/def456";
    WriteText(bare_app / "files/bin/bare", "");
    WriteText(bare_app / "deploy", DeployData("example-remote"));
  }
  fs::path root;
  fs::path deployment = root / "app/org.example.Viewer/x86_64/stable/abc123";
  fs::path files = deployment / "files";
  fs::path program;
  fs::path bare_app;
};

std::string PathOf(pid_t pid) {
  LinuxProcessOps ops;
  LinuxSystemInfo info;
  return GetProcessImagePath(static_cast<std::uint32_t>(pid), ops, info);
}

TEST(FlatpakInfo, SandboxPathsMapToTheFoldersMountedThere) {
  const auto instance = ParseFlatpakInfo(
      "[Application]\nname=org.example.Viewer\n[Instance]\napp-path=/fp/app/files\nruntime-path=/fp/rt/files\n");
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance->name, kApp);
  const struct {
    const char* inside;
    std::vector<std::string> host;
  } cases[] = {
      {"/app/bin/viewer", {"/fp/app/files/bin/viewer", "/app/bin/viewer"}},
      {"/usr/bin/bash", {"/fp/rt/files/bin/bash", "/usr/bin/bash"}},
      {"/home/user/tool", {"/home/user/tool"}},
      {"/application", {"/application"}},
  };
  for (const auto& c : cases) EXPECT_EQ(HostCandidates(*instance, c.inside), c.host) << c.inside;
  // A runtime run on its own has no /app; relative folders are never mapped.
  const auto runtime = ParseFlatpakInfo("[Runtime]\nname=org.example.Sdk\n[Instance]\nruntime-path=rt/files\n");
  ASSERT_TRUE(runtime);
  EXPECT_EQ(runtime->name, "org.example.Sdk");
  EXPECT_EQ(HostCandidates(*runtime, "/usr/bin/sh"), std::vector<std::string>{"/usr/bin/sh"});
  EXPECT_FALSE(ParseFlatpakInfo("[Instance]\napp-path=/x\n"));
  EXPECT_FALSE(ParseFlatpakInfo("not a key file"));
  EXPECT_EQ(DeployedOrigin(DeployData("flathub")), "flathub");
  EXPECT_EQ(DeployedOrigin("\x01\x02 broken"), "");
  EXPECT_EQ(DeployedOrigin(""), "");
}

TEST(FlatpakOrigin, TheDeploymentFolderSaysWhatEachFileIs) {
  TempDir dir;
  Installation system(dir.path() / "system");
  FlatpakOrigin origin({system.root.string(), (dir.path() / "user").string()});
  const std::string runtime_file = (system.root / "runtime/org.example.Platform/x86_64/1/aa/files/bin/sh").string();
  const struct {
    std::string path;
    std::optional<std::string> installer;
  } cases[] = {
      {system.program.string(), kApp},
      {runtime_file, "org.example.Platform"},
      {(system.deployment / "deploy").string(), std::nullopt},                  // beside files/
      {(system.root / "app/org.example.Viewer/x86_64/bin").string(), std::nullopt},  // too shallow
      {(system.root / "exports/bin/org.example.Viewer").string(), std::nullopt},
      {(dir.path() / "system2/app/a/b/c/d/files/x").string(), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(origin.InstallerOf({c.path, 0}), c.installer) << c.path;

  const ProgramFile viewer{system.program.string(), 0};
  const OriginTexts english = origin.Describe(viewer, false);
  EXPECT_EQ(english.description, "Shows pictures");
  EXPECT_EQ(english.product, "Viewer");
  EXPECT_EQ(english.company, "Example Studio");
  EXPECT_EQ(origin.Describe(viewer, true).product, "Betrachter");
  EXPECT_EQ(origin.ApplicationIcon(viewer), kApp);
  const FileCheck check = origin.Check(viewer, -1, 1u << 30);
  EXPECT_EQ(check.state, file_state::kNoRecord);
  EXPECT_EQ(check.package, kApp);

  // Without metainfo the exported entry speaks; without that, the ID and the remote.
  fs::remove(system.files / "share/metainfo/org.example.Viewer.metainfo.xml");
  const OriginTexts from_entry = origin.Describe(viewer, false);
  EXPECT_EQ(from_entry.product, "Desktop Viewer");
  EXPECT_EQ(from_entry.description, "From the entry");
  EXPECT_EQ(from_entry.company, "example-remote");
  const OriginTexts bare = origin.Describe({(system.bare_app / "files/bin/bare").string(), 0}, false);
  EXPECT_EQ(bare.product, "org.example.Bare");
  EXPECT_EQ(bare.description, "");
  EXPECT_EQ(bare.company, "example-remote");
}

TEST(FlatpakOriginLive, ASandboxedProgramIsListedAndDescribedByItsHostPath) {
  if (!origins_test::CanSandbox()) GTEST_SKIP() << "needs root and bubblewrap";
  TempDir dir;
  Installation user(dir.path() / "user");
  const fs::path runtime_files = dir.path() / "user/runtime/org.example.Platform/x86_64/1/bb/files";
  fs::create_directories(runtime_files);
  const auto start = [&](const std::string& app_path) {
    WriteText(dir.path() / "info", "[Application]\nname=org.example.Viewer\n[Instance]\napp-path=" + app_path +
                                       "\nruntime-path=" + runtime_files.string() + "\n");
    std::vector<std::string> args = origins_test::SandboxRoot();
    args.insert(args.end(), {"--ro-bind", (dir.path() / "info").string(), "/.flatpak-info", "--ro-bind",
                             user.files.string(), "/app", "--", "/app/bin/viewer", "600"});
    return std::make_unique<Child>("/usr/bin/bwrap", args);
  };

  {
    const auto sandbox = start(user.files.string());
    const pid_t program = origins_test::DescendantRunning(sandbox->pid(), "/app/bin/viewer");
    ASSERT_GT(program, 0);
    EXPECT_EQ(PathOf(program), user.program.string());
    // bubblewrap's own process in the sandbox runs the host's program.
    const pid_t init = origins_test::DescendantRunning(sandbox->pid(), "/usr/bin/bwrap");
    ASSERT_GT(init, 0);
    EXPECT_EQ(PathOf(init), fs::canonical("/usr/bin/bwrap").string());

    FlatpakOrigin origin({(dir.path() / "system").string(), user.root.string()});
    for (const std::uint32_t pid : {static_cast<std::uint32_t>(program), 0u}) {
      const ProgramFile file{PathOf(program), pid};
      EXPECT_EQ(origin.InstallerOf(file), kApp);
      EXPECT_EQ(origin.Describe(file, false).product, "Viewer");
      EXPECT_EQ(origin.ApplicationIcon(file), kApp);
    }
  }
  {
    // A sandbox whose key file names another folder than the one mounted at /app.
    const fs::path elsewhere = dir.path() / "elsewhere/files";
    fs::create_directories(elsewhere / "bin");
    linux_test::CopySleep(elsewhere / "bin", "viewer", 60000);
    const auto sandbox = start(elsewhere.string());
    const pid_t program = origins_test::DescendantRunning(sandbox->pid(), "/app/bin/viewer");
    ASSERT_GT(program, 0);
    EXPECT_EQ(PathOf(program), " No such file or directory");
  }
  EXPECT_TRUE(origins_test::HostRootIsClean());
}

}  // namespace
}  // namespace proclens::linux_port
