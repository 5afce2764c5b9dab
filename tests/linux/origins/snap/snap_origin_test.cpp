#include "platform/linux/origins/snap/snap_origin.h"

#include <gtest/gtest.h>

#include "linux/origins/sandbox_support.h"
#include "linux/support/run_command.h"
#include "platform/linux/origins/snap/snap_metadata.h"

namespace proclens::linux_port {
namespace {

constexpr char kSnapYaml[] =
    "name: hello-tool\nversion: '2.1'\ntitle: Hello Tool\nsummary: Says hello\n"
    "apps:\n  hello-tool:\n    command: bin/hello\n    summary: not the snap's\n";

TEST(SnapMetadata, ReadsTheTopLevelTextsOfSnapYamlAndTheAssertionHeaders) {
  const struct {
    const char* yaml;
    std::optional<std::string> title, name, summary;
  } cases[] = {
      {"name: plain\nsummary: \"quoted: text\"\n", "", "plain", "quoted: text"},
      {"[name, title]\n", std::nullopt, std::nullopt, std::nullopt},  // no mapping
      {"name: [unclosed\n", std::nullopt, std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto snap = ParseSnapYaml(c.yaml);
    ASSERT_EQ(snap.has_value(), c.name.has_value()) << c.yaml;
    if (!snap) continue;
    EXPECT_EQ(snap->title, *c.title);
    EXPECT_EQ(snap->name, *c.name);
    EXPECT_EQ(snap->summary, *c.summary);
  }
  const auto headers = AssertionHeaders(
      "type: snap-revision\nsnap-id: ID1\nlist:\n  - a\nsnap-revision: 42\n\nbody: not a header\n");
  EXPECT_EQ(headers.size(), 3u);
  EXPECT_EQ(headers.at("snap-revision"), "42");
  for (const char* name : {"hello", "hello-tool_2", "a1"}) EXPECT_TRUE(IsSnapName(name)) << name;
  for (const char* name : {"", "Hello", "-x", "x-", "a/b", "a_", "a_B", "../x"}) EXPECT_FALSE(IsSnapName(name)) << name;
  EXPECT_FALSE(PublisherInSnapdReply(R"({"result":{"publisher":"Pub"}})"));
  EXPECT_FALSE(PublisherInSnapdReply("{broken"));
  // Any account may choose any display name; the store vouches only for verified and starred ones.
  const struct {
    const char* publisher;
    bool german;
    const char* text;
  } publishers[] = {
      {R"({"display-name":"Mozilla","username":"mozilla","validation":"verified"})", false, "Mozilla"},
      {R"({"display-name":"Canonical","username":"canonical","validation":"starred"})", false, "Canonical"},
      {R"({"display-name":"Mozilla","username":"totally-not-mozilla","validation":"unproven"})", false,
       "Mozilla (account totally-not-mozilla, not verified by the store)"},
      {R"({"display-name":"Mozilla","username":"totally-not-mozilla"})", true,
       "Mozilla (Konto totally-not-mozilla, vom Store nicht best\xC3\xA4tigt)"},
      {R"({"username":"someone","validation":"verified"})", false, "someone"},
  };
  for (const auto& c : publishers) {
    const auto publisher = PublisherInSnapdReply(std::string(R"({"result":{"publisher":)") + c.publisher + "}}");
    ASSERT_TRUE(publisher) << c.publisher;
    EXPECT_EQ(PublisherText(*publisher, c.german), c.text) << c.publisher;
  }
}

// A snap mounted as snapd mounts it, its .snap file and snapd's assertions.
struct SnapSystem {
  explicit SnapSystem(const fs::path& root) : root(root) {
    WriteText(folder / "meta/snap.yaml", kSnapYaml);
    WriteText(folder / "meta/gui/hello-tool.desktop",
              "[Desktop Entry]\nType=Application\nName=Hello\nIcon=${SNAP}/meta/gui/hello.png\n");
    WriteText(folder / "meta/gui/hello.png", "png");
    WriteText(program, "");
    WriteText(snap_file, "the squashfs image of hello-tool, revision 42");
    const auto digest = testing::RunCommand("openssl dgst -sha3-384 -binary '" + snap_file.string() +
                                            "' | basenc --base64url | tr -d '=\\n'");
    const fs::path store = root / "assertions/asserts-v0";
    WriteText(store / "snap-declaration/16/ID1/active", "type: snap-declaration\nsnap-id: ID1\nsnap-name: hello-tool\n");
    WriteText(store / "snap-declaration/16/ID2/active", "type: snap-declaration\nsnap-id: ID2\nsnap-name: other\n");
    WriteText(store / "snap-revision" / digest.out / "active",
              "type: snap-revision\nsnap-id: ID1\nsnap-revision: 42\nsnap-sha3-384: " + digest.out + "\n\nsig\n");
    // Another snap's revision 42, from a brand store (a provenance that is not the default).
    WriteText(store / "snap-revision/OTHER/0:brand/active",
              "type: snap-revision\nsnap-id: ID2\nsnap-revision: 42\nsnap-sha3-384: OTHER\n\nsig\n");
  }
  SnapRoots Roots(const std::string& socket) const {
    return {{(root / "snap").string()}, (root / "snaps").string(), (root / "assertions").string(), socket};
  }
  fs::path root;
  fs::path folder = root / "snap/hello-tool/42";
  fs::path snap_file = root / "snaps/hello-tool_42.snap";
  fs::path program = folder / "bin/hello";
};

TEST(SnapOrigin, PathsNameTheSnapWhoseYamlSnapdAndStoreRecordDescribeIt) {
  TempDir dir;
  SnapSystem system(dir.path());
  const std::string mount = (dir.path() / "snap").string();
  SnapOrigin without_snapd(system.Roots((dir.path() / "no-snapd.socket").string()));
  const struct {
    std::string path;
    std::optional<std::string> installer;
  } cases[] = {
      {system.program.string(), "hello-tool"},
      {mount + "/hello-tool_beta/x3/bin/hello", "hello-tool_beta"},
      {mount + "/hello-tool/current/bin/hello", std::nullopt},  // links are resolved before
      {mount + "/hello-tool/42", std::nullopt},
      {mount + "/Hello/42/bin/hello", std::nullopt},
      {mount + "x/hello-tool/42/bin/hello", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(without_snapd.InstallerOf({c.path, 0}), c.installer) << c.path;
  EXPECT_EQ(without_snapd.Describe({system.program.string(), 0}, false).company, "");

  origins_test::FakeSnapd snapd(dir.path() / "snapd.socket",
                                R"({"type":"sync","result":{"name":"hello-tool","publisher":{"id":"p1",)"
                                R"("username":"example","display-name":"Example Publisher","validation":"verified"}}})");
  SnapOrigin origin(system.Roots((dir.path() / "snapd.socket").string()));
  const ProgramFile file{system.program.string(), 0};
  origins_test::ExpectAnswers(origin, file, false,
                              {"hello-tool", {"Says hello", "Hello Tool", "Example Publisher"},
                               (system.folder / "meta/gui/hello.png").string(), file_state::kMatches});
  origin.Describe(file, false);
  EXPECT_EQ(snapd.Requests(), std::vector<std::string>{"GET /v2/snaps/hello-tool HTTP/1.1"});

  // A revision from a file has no record; one kept under its provenance (a
  // brand store's) is found too.
  WriteText(dir.path() / "snaps/other_42.snap", "not what the brand store recorded");
  const struct {
    std::string path;
    std::uint64_t limit;
    const char* state;
  } checks[] = {
      {system.program.string(), 10, file_state::kNotChecked},
      {mount + "/hello-tool_beta/x3/bin/hello", 1u << 30, file_state::kNoRecord},
      {mount + "/other/42/bin/tool", 1u << 30, file_state::kDiffers},
  };
  for (const auto& c : checks) EXPECT_EQ(origin.Check({c.path, 0}, -1, c.limit).state, c.state) << c.path;

  // An icon value that names an address (the window would fetch it) is no icon.
  WriteText(dir.path() / "snap/other/42/meta/gui/other.desktop",
            "[Desktop Entry]\nType=Application\nName=Other\nIcon=http:host.example\n");
  EXPECT_EQ(origin.ApplicationIcon({mount + "/other/42/bin/tool", 0}), std::nullopt);
}

TEST(SnapOriginLive, AProgramRunFromASnapInASandboxIsThatSnapsProgram) {
  if (!origins_test::CanSandbox()) GTEST_SKIP() << "needs root and bubblewrap";
  TempDir dir;
  SnapSystem system(dir.path());
  fs::remove(system.program);
  const fs::path program = linux_test::CopySleep(system.program.parent_path(), "hello", 60000);
  std::vector<std::string> args = origins_test::SandboxRoot();
  args.insert(args.end(), {"--ro-bind", system.folder.string(), system.folder.string(), "--", program.string(), "600"});
  {
    Child sandbox("/usr/bin/bwrap", args);
    const pid_t pid = origins_test::DescendantRunning(sandbox.pid(), program.string());
    ASSERT_GT(pid, 0);
    ASSERT_EQ(origins_test::ImagePathOf(pid), program.string());
    origins_test::FakeSnapd snapd(dir.path() / "snapd.socket",
                                  R"({"result":{"publisher":{"display-name":"Example Publisher"}}})");
    SnapOrigin origin(system.Roots((dir.path() / "snapd.socket").string()));
    origins_test::ExpectAnswers(origin, {program.string(), static_cast<std::uint32_t>(pid), true}, false,
                                {"hello-tool", {"Says hello", "Hello Tool", "Example Publisher (not verified by the store)"},
                                 (system.folder / "meta/gui/hello.png").string(), file_state::kMatches});
  }
  EXPECT_TRUE(origins_test::HostRootIsClean());
}

}  // namespace
}  // namespace proclens::linux_port
