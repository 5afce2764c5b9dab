#include "platform/linux/origins/flatpak/flatpak_origin.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "linux/origins/sandbox_support.h"
#include "platform/linux/origins/flatpak/flatpak_info.h"

namespace proclens::linux_port {
namespace {

using origins_test::ImagePathOf;

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

// An installation with applications deployed as Flatpak lays them out: one
// with metainfo, one with only its exported desktop entry, one with neither.
struct Installation {
  explicit Installation(const fs::path& root) : root(root) {
    WriteText(files / "share/metainfo/org.example.Viewer.metainfo.xml", kMetainfo);
    WriteText(root / "exports/share/applications/org.example.Viewer.desktop", kDesktop);
    fs::create_directories(files / "bin");
    program = linux_test::CopySleep(files / "bin", "viewer", 60000);
    for (const char* id : {"org.example.Viewer", "org.example.Entry", "org.example.Bare"})
      WriteText(root / "app" / id / "x86_64/stable/abc123/deploy", DeployData("example-remote"));
    // A deployment that names a remote its installation does not know.
    WriteText(root / "app/org.example.Stray/x86_64/stable/abc123/deploy", DeployData("made-up-remote"));
    WriteText(root / "repo/config", "[core]\nrepo_version=1\n[remote \"example-remote\"]\nurl=https://example.org/\n");
    WriteText(root / "exports/share/applications/org.example.Entry.desktop",
              "[Desktop Entry]\nType=Application\nName=Entry Viewer\nComment=From the entry\n");
  }
  fs::path File(const std::string& id) const { return root / "app" / id / "x86_64/stable/abc123/files/bin/x"; }
  fs::path root;
  fs::path files = root / "app/org.example.Viewer/x86_64/stable/abc123/files";
  fs::path program;
};

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
      {(system.files.parent_path() / "deploy").string(), std::nullopt},  // beside files/
      {(system.root / "app/org.example.Viewer/x86_64/bin").string(), std::nullopt},  // too shallow
      {(system.root / "exports/bin/org.example.Viewer").string(), std::nullopt},
      {(dir.path() / "system2/app/a/b/c/d/files/x").string(), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(origin.InstallerOf({c.path, 0}), c.installer) << c.path;

  // Metainfo speaks first, then the exported entry, then the ID and the remote.
  const struct {
    fs::path file;
    bool german;
    origins_test::Answers answers;
  } described[] = {
      {system.program, false, {kApp, {"Shows pictures", "Viewer", "Example Studio"}, kApp, file_state::kNoRecord}},
      {system.program, true, {kApp, {"Shows pictures", "Betrachter", "Example Studio"}, kApp, file_state::kNoRecord}},
      {system.File("org.example.Entry"), false,
       {"org.example.Entry", {"From the entry", "Entry Viewer", "example-remote"}, std::nullopt, file_state::kNoRecord}},
      {system.File("org.example.Bare"), false,
       {"org.example.Bare", {"", "org.example.Bare", "example-remote"}, std::nullopt, file_state::kNoRecord}},
      {system.File("org.example.Stray"), false,
       {"org.example.Stray", {"", "org.example.Stray", ""}, std::nullopt, file_state::kNoRecord}},
  };
  for (const auto& c : described) origins_test::ExpectAnswers(origin, {c.file.string(), 0}, c.german, c.answers);

  // What a user deployed for themselves is that user's word, whatever names it gives.
  Installation user(dir.path() / "user");
  ASSERT_EQ(::chown(user.root.c_str(), 65534, 65534), 0);
  const FileCheck mine = origin.Check({user.program.string(), 0}, -1, 0);
  EXPECT_EQ(mine.state, file_state::kNoRecord);
  EXPECT_EQ(mine.authority, CheckAuthority::kUserInstallation);
  EXPECT_EQ(mine.authority_user, "nobody");
  EXPECT_EQ(origin.Check({system.program.string(), 0}, -1, 0).authority, CheckAuthority::kSystem);
}

TEST(FlatpakOriginLive, ASandboxedProgramIsListedByItsHostPath) {
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

  const std::vector<std::string> installations = {(dir.path() / "system").string(), user.root.string()};
  {
    const auto sandbox = start(user.files.string());
    const pid_t program = origins_test::DescendantRunning(sandbox->pid(), "/app/bin/viewer");
    ASSERT_GT(program, 0);
    EXPECT_EQ(ImagePathOf(program, installations), user.program.string());
    // bubblewrap's own process in the sandbox runs the host's program.
    const pid_t init = origins_test::DescendantRunning(sandbox->pid(), "/usr/bin/bwrap");
    ASSERT_GT(init, 0);
    EXPECT_EQ(ImagePathOf(init, installations), fs::canonical("/usr/bin/bwrap").string());
    FlatpakOrigin origin({(dir.path() / "system").string(), user.root.string()});
    EXPECT_EQ(origin.InstallerOf({ImagePathOf(program, installations), static_cast<std::uint32_t>(program)}), kApp);
  }
  {
    // A sandbox whose key file names another deployment than the one mounted at /app.
    const fs::path entry_files = user.root / "app/org.example.Entry/x86_64/stable/abc123/files";
    fs::create_directories(entry_files / "bin");
    linux_test::CopySleep(entry_files / "bin", "viewer", 60000);
    const auto sandbox = start(entry_files.string());
    const pid_t program = origins_test::DescendantRunning(sandbox->pid(), "/app/bin/viewer");
    ASSERT_GT(program, 0);
    EXPECT_EQ(ImagePathOf(program, installations), " No such file or directory");
    // A key file that names folders Flatpak never deployed is not believed:
    // the kernel's word stands.
    EXPECT_EQ(ImagePathOf(program, {(dir.path() / "elsewhere").string()}), "/app/bin/viewer");
  }
  EXPECT_TRUE(origins_test::HostRootIsClean());
}

}  // namespace
}  // namespace proclens::linux_port
