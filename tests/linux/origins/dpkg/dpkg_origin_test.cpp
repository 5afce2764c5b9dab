// What the package system says a file is, over a small database tree with
// the awkward cases of a real one, and on the live system.

#include "platform/linux/origins/dpkg/dpkg_origin.h"

#include <gtest/gtest.h>

#include "infopage/version_info_reader.h"
#include "linux/support/version_test_support.h"
#include "platform/linux/desktop/desktop_icon.h"
#include "platform/linux/linux_file_ops.h"
#include "platform/pe/version_block_writer.h"
#include "platform/linux/linux_version_ops.h"
#include "linux/origins/dpkg_only.h"
#include "platform/linux/linux_platform.h"

namespace proclens::linux_port {
namespace {

using proclens::testing::FixedLanguageSystem;
using proclens::testing::RunCommand;
using proclens::testing::TestsFolder;

std::string FixtureRoot() { return TestsFolder() + "/linux/fixtures/dpkg-root"; }

struct Case {
  const char* path;
  bool german;
  const char* description;
  const char* product;
  const char* company;
};

// nullptr product: no package ships the file.
const Case kCases[] = {
    // Listed as /bin/bash; merged /usr runs it as /usr/bin/bash.
    {"/usr/bin/bash", false, "GNU Bourne Again SHell", "bash", "Alice Example"},
    {"/bin/bash", false, "GNU Bourne Again SHell", "bash", "Alice Example"},
    // Listed under /usr, asked for through the link.
    {"/sbin/fixer", false, "ships bad metainfo", "broken-meta", "Broken Person"},
    // Multi-arch lists; a Maintainer that is only an address.
    {"/usr/lib/x86_64-linux-gnu/libfoo.so.1", false, "foo library", "libfoo1", ""},
    {"/usr/lib/i386-linux-gnu/libfoo.so.1", false, "foo library (i386)", "libfoo1", "Other Arch"},
    // AppStream: the file that names the binary, and its German texts.
    {"/usr/bin/viewer", false, "Look at pictures", "Viewer", "Example & Co"},
    {"/usr/bin/viewer", true, "Bilder ansehen", "Betrachter", "Example & Co"},
    // No file names this binary: the first by file name, appdata included.
    {"/usr/libexec/viewer-helper", false, "Other summary", "Other", "Other Developers"},
    {"/usr/libexec/viewer-helper", true, "Other summary", "Other", "Andere Entwickler"},
    // Diversions: the diverted file is the original package's, the one in
    // its place the diverting package's; a local diversion leaves it nobody's.
    {"/usr/bin/tool.real", false, "", "tool-orig", ""},
    {"/usr/bin/tool", false, "replaces tool", "diverter", "Div Person"},
    {"/usr/bin/local.orig", false, "a locally diverted tool", "local-pkg", "Local Person"},
    {"/usr/bin/local", false, nullptr, nullptr, nullptr},
    {"/usr/bin/nothing", false, nullptr, nullptr, nullptr},
    {"relative/path", false, nullptr, nullptr, nullptr},
};

// The texts when dpkg installed the file, as the chain of sources asks.
std::optional<OriginTexts> Describe(ProgramOrigins& origins, const std::string& path, bool german) {
  return origins.Describe(ProgramFile{path, 0, true}, german);
}

// Each case three ways: as the first question a database gets (one pass
// over the lists), to one that has built its index, and to one that read
// everything ahead on a thread of its own.
TEST(DpkgOrigin, FixtureTreeGivesEachFileItsTexts) {
  ProgramOrigins indexed = DpkgOnly(FixtureRoot());
  Describe(indexed, "/usr/bin/nothing", false);
  ProgramOrigins read_ahead = DpkgOnly(FixtureRoot());
  read_ahead.ReadAhead();
  for (const char* way : {"first", "indexed", "read ahead"}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(c.path) + (c.german ? " (German)" : "") + ", " + way);
      ProgramOrigins fresh = DpkgOnly(FixtureRoot());
      ProgramOrigins& origins = way == std::string("first") ? fresh : way == std::string("indexed") ? indexed : read_ahead;
      const auto texts = Describe(origins, c.path, c.german);
      if (c.product == nullptr) {
        EXPECT_FALSE(texts.has_value());
        continue;
      }
      ASSERT_TRUE(texts.has_value());
      EXPECT_EQ(texts->description, c.description);
      EXPECT_EQ(texts->product, c.product);
      EXPECT_EQ(texts->company, c.company);
    }
  }
}

TEST(DpkgOrigin, AProgramShowsTheIconOfItsPackagesFirstDesktopEntryThatHasOne) {
  DpkgOrigin dpkg(FixtureRoot());
  EXPECT_EQ(dpkg.ApplicationIcon({"/usr/libexec/viewer-helper", 0, true}), "org.example.Viewer");
  EXPECT_EQ(dpkg.ApplicationIcon({"/usr/bin/bash", 0, true}), std::nullopt);
  EXPECT_EQ(dpkg.ApplicationIcon({"/usr/bin/nothing", 0, true}), std::nullopt);
}

TEST(DpkgOriginLive, HelperProgramsShowTheirApplicationsIconOnceAsked) {
  const std::string helper = "/usr/libexec/gnome-system-monitor/gsm-kill";
  LinuxFileOps files;
  EXPECT_EQ(files.ExtractIcons(helper).count, 0u);  // no desktop entry runs it
  ProgramOrigins origins = SystemOrigins();
  files.UsePackageIcons(origins);
  const ExtractedIcons icons = files.ExtractIcons(helper);
  ASSERT_EQ(icons.count, 1u);
  EXPECT_EQ(dynamic_cast<const DesktopIcon&>(*icons.small).serialized(), "org.gnome.SystemMonitor");
}

TEST(DpkgOrigin, AMissingDatabaseKnowsNoFile) {
  DpkgOrigin dpkg(FixtureRoot() + "/nonexistent");
  EXPECT_FALSE(dpkg.InstallerOf({"/usr/bin/bash"}).has_value());
}

TEST(PackageVersionBlock, AnswersTheVersionQueriesInAnyUserLanguage) {
  // Not UTF-8 from the database must not cut the text short.
  const auto block = pe::WriteVersionBlock({"Bilder \xC3\xA4 ansehen \xFF!", "Betrachter", ""}, 0x0407);
  for (const std::uint16_t user_language : {0x0407, 0x0409}) {
    FixedLanguageSystem system(user_language);
    proclens::testing::VersionsOver versions(system);
    LinuxVersionOps& ops = versions.ops;
    auto query = [&](const char* key) {
      return QueryVersionString(block.data(), block.size(), key, {ops, system});
    };
    EXPECT_EQ(query("FileDescription"), "Bilder \xC3\xA4 ansehen \xEF\xBF\xBD!");
    EXPECT_EQ(query("ProductName"), "Betrachter");
    EXPECT_EQ(query("CompanyName"), "");
  }
}

// The live system, checked against dpkg's own tool.
std::string MaintainerNameOf(const std::string& package) {
  const std::string field = RunCommand("dpkg-query -W -f='${Maintainer}' " + package).out;
  return field.substr(0, field.find(" <"));
}

TEST(DpkgOriginLive, TheRunningShellAndGnomeSystemMonitorAreNamed) {
  FixedLanguageSystem system(0x0409);
  ProgramOrigins origins = SystemOrigins();
  proclens::testing::VersionsOver versions(system, &origins);
  LinuxVersionOps& ops = versions.ops;
  // The program of a running shell, as the catalogue resolves it.
  const std::string shell = RunCommand("sh -c 'readlink /proc/$$/exe'").out;
  ASSERT_FALSE(shell.empty());
  const std::string shell_path = shell.substr(0, shell.size() - 1);
  // dpkg-query knows the file only by the path its list writes.
  const std::string shell_package = RunCommand("p=" + shell_path + "; dpkg-query -S \"$p\" \"${p#/usr}\" " +
                                               "2>/dev/null | head -n1 | cut -d: -f1").out;
  const VersionTexts sh = ReadVersionInfo(shell_path, {ops, system});
  EXPECT_TRUE(sh.ok) << shell_path;
  EXPECT_EQ(sh.product + "\n", shell_package);
  EXPECT_EQ(sh.company, MaintainerNameOf(sh.product));

  const VersionTexts bash = ReadVersionInfo("/usr/bin/bash", {ops, system});
  EXPECT_TRUE(bash.ok);
  EXPECT_EQ(bash.description, "GNU Bourne Again SHell");
  EXPECT_EQ(bash.product, "bash");
  EXPECT_EQ(bash.company, MaintainerNameOf("bash"));

  const VersionTexts monitor = ReadVersionInfo("/usr/bin/gnome-system-monitor", {ops, system});
  EXPECT_TRUE(monitor.ok);
  EXPECT_EQ(monitor.description, "View and manage system resources");
  EXPECT_EQ(monitor.product, "System Monitor");
  EXPECT_EQ(monitor.company, "The GNOME Project");
}

}  // namespace
}  // namespace proclens::linux_port
