// What Alpine's package database says of a file, over a root written on the
// spot: the package that lists it, its texts, and the file held to the
// checksum apk recorded for it.

#include "platform/linux/origins/apk/apk_origin.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include "linux/origins/sandbox_support.h"
#include "platform/linux/base/unique_fd.h"

namespace proclens::linux_port {
namespace {

// The checksums are those of "hello\n" (SHA-1 f572d396..., MD5 b1946ac9...).
constexpr char kInstalled[] =
    "C:Q1c2VudGluZWw=\n"
    "P:busybox\nV:1.36.1-r15\nA:x86_64\n"
    "T:Size optimized toolbox of many common UNIX utilities\n"
    "m:S\xc3\xb6ren Tempel <soeren+alpine@soeren-tempel.net>\n"
    "F:bin\nM:0:0:755\nR:busybox\na:0:0:755\nZ:Q19XLTlvrpIGYocU+yzgD3LpTyJY8=\n"
    "F:etc\nZ:Q1AAAAAAAAAAAAAAAAAAAAAAAAAAA=\nR:securetty\n"
    "\n"
    "P:tool\nT:A tool\nm:<packager@example.org>\n"
    "F:usr/bin\nR:tool\nZ:X1f572d396fae9206628714fb2ce00f72e94f2258f\n"
    "R:legacy\nZ:b1946ac92492d2347c6235b4d2611184\n"
    "R:odd\nZ:Q2AAAA\n"
    "garbage line\nR:\nR:a/b\n"
    "\n"
    // A record that names no package lists nothing; a later package does not
    // take a file from the one that listed it first.
    "F:usr/bin\nR:orphan\nZ:Q19XLTlvrpIGYocU+yzgD3LpTyJY8=\n"
    "\n"
    "P:claimer\nF:bin\nR:busybox\nZ:Q1AAAAAAAAAAAAAAAAAAAAAAAAAAA=\n";

class ApkOriginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(root_.path() / "lib/apk/db/installed", kInstalled);
    for (const char* path : {"bin/busybox", "usr/bin/tool", "usr/bin/legacy", "usr/bin/odd", "etc/securetty"})
      WriteText(root_.path() / path, "hello\n");
    WriteText(changed_.path() / "busybox", "hellp\n");  // one byte changed
  }
  linux_test::TempDir root_;
  linux_test::TempDir changed_;
};

TEST_F(ApkOriginTest, AnswersForTheFilesItsPackagesList) {
  ApkOrigin apk(root_.path().string());
  // Without a descriptor to check, a recorded file is unreadable.
  const OriginTexts busybox{"Size optimized toolbox of many common UNIX utilities", "busybox", "S\xc3\xb6ren Tempel"};
  origins_test::ExpectAnswers(apk, {"/bin/busybox", 0, true}, true,
                              {"busybox", busybox, std::nullopt, file_state::kUnreadable});
  origins_test::ExpectAnswers(apk, {"/etc/securetty", 0, true}, false,
                              {"busybox", busybox, std::nullopt, file_state::kNoRecord});
  EXPECT_EQ(apk.Describe({"/usr/bin/tool", 0, true}, false).company, "");  // an address alone
  EXPECT_EQ(apk.InstallerOf({"/usr/bin/nothing", 0, true}), std::nullopt);
  EXPECT_EQ(ApkOrigin((root_.path() / "nowhere").string()).InstallerOf({"/bin/busybox", 0, true}), std::nullopt);
  // A path another user could put a file at is no package's word.
  EXPECT_EQ(apk.InstallerOf({"/bin/busybox", 0, false}), std::nullopt);
}

TEST_F(ApkOriginTest, TheFileIsHeldToTheChecksumApkRecorded) {
  ApkOrigin apk(root_.path().string());
  const struct {
    const char* path;
    fs::path file;
    const char* state;
    const char* package;
  } cases[] = {
      {"/bin/busybox", root_.path() / "bin/busybox", file_state::kMatches, "busybox"},  // Q1: base64 of a SHA-1
      {"/bin/busybox", changed_.path() / "busybox", file_state::kDiffers, "busybox"},
      {"/usr/bin/tool", root_.path() / "usr/bin/tool", file_state::kMatches, "tool"},  // X1: hex of a SHA-1
      {"/usr/bin/tool", changed_.path() / "busybox", file_state::kDiffers, "tool"},
      {"/usr/bin/legacy", root_.path() / "usr/bin/legacy", file_state::kMatches, "tool"},  // MD5, older databases
      {"/usr/bin/odd", root_.path() / "usr/bin/odd", file_state::kNoRecord, "tool"},  // an algorithm apk-tools 2 lacks
      {"/etc/securetty", root_.path() / "etc/securetty", file_state::kNoRecord, "busybox"},  // no Z of its own
      {"/usr/bin/orphan", root_.path() / "bin/busybox", file_state::kNoPackage, ""},
      {"/usr/bin/a/b", root_.path() / "bin/busybox", file_state::kNoPackage, ""},
      {"/usr/bin/nothing", root_.path() / "bin/busybox", file_state::kNoPackage, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " with " + c.file.string());
    const UniqueFd fd(::open(c.file.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd.valid());
    const FileCheck check = apk.Check({c.path, 0, true}, fd.get(), 1u << 20);
    EXPECT_EQ(check.state, std::string(c.state));
    EXPECT_EQ(check.package, c.package);
  }
}

}  // namespace
}  // namespace proclens::linux_port
