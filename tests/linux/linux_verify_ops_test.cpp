// A file against the sum its package recorded: every state over a database
// made for the test, and running programs on the live system.

#include "platform/linux/linux_verify_ops.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "linux/origins/dpkg_only.h"
#include "linux/origins/sandbox_support.h"
#include "linux/support/run_command.h"
#include "platform/linux/linux_platform.h"

namespace proclens::linux_port {
namespace {

constexpr char kHelloMd5[] = "5d41402abc4b2a76b9719d911017c592";  // md5sum of "hello"
constexpr std::uint64_t kNoLimit = UINT64_MAX;

// Processes of a process root made for the test: each exe link leads to the
// program that process runs.
constexpr std::uint32_t kRunsOk = 101, kRunsStray = 102, kRunsNamedDeleted = 103, kGone = 104;

class LinuxVerifyOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ok", "bad", "norecord", "stray", "upper", "x (deleted)", "open/ok"})
      WriteText(Program(name), "hello");
    // A folder that any user may write: a listed path there may name anyone's file.
    fs::permissions(programs_.path() / "prog-open", fs::perms::all);
    fs::create_directories(programs_.path() / "swappable");
    fs::permissions(programs_.path() / "swappable", fs::perms::all);
    fs::create_symlink(Program("ok"), programs_.path() / "swappable/ok");
    for (const auto& [pid, name] : {std::pair(kRunsOk, "ok"), std::pair(kRunsStray, "stray"),
                                    std::pair(kRunsNamedDeleted, "x (deleted)")}) {
      fs::create_directories(proc_.path() / std::to_string(pid));
      fs::create_symlink(Program(name), proc_.path() / std::to_string(pid) / "exe");
    }
    const std::string info = root_.path().string() + "/var/lib/dpkg/info/";
    WriteText(root_.path() / "var/lib/dpkg/status", "Package: tools\nMaintainer: T <t@example.org>\n");
    std::string list = "/.\n";
    for (const char* name : {"ok", "bad", "norecord", "missing", "upper", "open/ok"})
      list += Program(name).string() + "\n";
    WriteText(info + "tools:amd64.list", list);
    auto line = [](const std::string& sum, const fs::path& path) { return sum + "  " + path.string().substr(1) + "\n"; };
    WriteText(info + "tools:amd64.md5sums",
              "not a line\n" + line(kHelloMd5, Program("ok")) +
                  line("00000000000000000000000000000000", Program("bad")) + line(kHelloMd5, Program("missing")) +
                  line("5D41402ABC4B2A76B9719D911017C592", Program("upper")) + line(kHelloMd5, Program("open/ok")));
  }
  fs::path Program(const std::string& name) const { return programs_.path() / ("prog-" + name); }

  TempDir root_, programs_, proc_;
  ProgramOrigins origins_ = DpkgOnly(root_.path().string());
  LinuxVerifyOps ops_{origins_, proc_.path().string() + "/"};
};

TEST_F(LinuxVerifyOpsTest, EveryStateOfAFile) {
  struct Case {
    std::string path;
    std::uint32_t pid;  // 0: the file as named
    std::uint64_t limit;
    const char* state;
    const char* package;
    const char* reason;
  };
  const char* const kNoSuchFile = "No such file or directory";
  const Case cases[] = {
      {Program("ok"), 0, kNoLimit, file_state::kMatches, "tools", ""},
      {Program("upper"), 0, kNoLimit, file_state::kMatches, "tools", ""},
      {Program("bad"), 0, kNoLimit, file_state::kDiffers, "tools", ""},
      {Program("norecord"), 0, kNoLimit, file_state::kNoRecord, "tools", ""},
      {Program("stray"), 0, kNoLimit, file_state::kNoPackage, "", ""},
      {Program("missing"), 0, kNoLimit, file_state::kUnreadable, "", kNoSuchFile},
      {Program("ok"), 0, 4, file_state::kNotChecked, "tools", ""},
      {Program("ok"), 0, 5, file_state::kMatches, "tools", ""},
      // A package's word holds only where no other user can put another file.
      {Program("open/ok"), 0, kNoLimit, file_state::kNoPackage, "", ""},
      {(programs_.path() / "swappable/ok").string(), 0, kNoLimit, file_state::kNoPackage, "", ""},
      // A file named so on purpose is checked as the file it is.
      {Program("x (deleted)"), 0, kNoLimit, file_state::kNoPackage, "", ""},
      // A process is checked by what it runs; its path only has to name that.
      {Program("ok"), kRunsOk, kNoLimit, file_state::kMatches, "tools", ""},
      {Program("ok"), kRunsStray, kNoLimit, file_state::kReplaced, "", ""},
      {Program("ok").string() + " (deleted)", kRunsOk, kNoLimit, file_state::kReplaced, "", ""},
      {Program("x (deleted)"), kRunsNamedDeleted, kNoLimit, file_state::kNoPackage, "", ""},
      {Program("ok"), kGone, kNoLimit, file_state::kUnreadable, "", kNoSuchFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " pid " + std::to_string(c.pid) + " limit " + std::to_string(c.limit));
    const FileCheck check = ops_.CheckFile(c.path, c.pid, c.limit);
    EXPECT_EQ(check.state, c.state);
    EXPECT_EQ(check.package, c.package);
    EXPECT_EQ(check.reason, c.reason);
  }
}

// What this process has read so far (/proc/self/io's rchar).
std::uint64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

TEST_F(LinuxVerifyOpsTest, EachImageIsReadOnceARunUntilItChanges) {
  constexpr std::size_t kSize = 8u << 20;
  WriteText(Program("big"), std::string(kSize, 'x'));
  const std::string sum = proclens::testing::RunCommand("md5sum '" + Program("big").string() + "'").out.substr(0, 32);
  WriteText(root_.path() / "var/lib/dpkg/info/tools:amd64.list", Program("big").string() + "\n");
  WriteText(root_.path() / "var/lib/dpkg/info/tools:amd64.md5sums", sum + "  " + Program("big").string().substr(1) + "\n");
  ProgramOrigins origins = DpkgOnly(root_.path().string());
  LinuxVerifyOps ops(origins, proc_.path().string() + "/");
  std::uint64_t before = BytesReadSoFar();
  EXPECT_EQ(ops.CheckFile(Program("big").string(), 0, kNoLimit).state, file_state::kMatches);
  EXPECT_GE(BytesReadSoFar() - before, kSize);
  before = BytesReadSoFar();
  EXPECT_EQ(ops.CheckFile(Program("big").string(), 0, kNoLimit).state, file_state::kMatches);
  EXPECT_LT(BytesReadSoFar() - before, kSize / 8);
  // A change, whatever its size, is read again.
  std::ofstream(Program("big"), std::ios::binary | std::ios::in | std::ios::out).put('y');
  EXPECT_EQ(ops.CheckFile(Program("big").string(), 0, kNoLimit).state, file_state::kDiffers);
}

TEST(LinuxVerifyOpsLive, ARunningPackagedProgramMatches) {
  linux_test::Child child("/bin/sleep", linux_test::SleepArgs("sleep"));
  const std::string exe = "/proc/" + std::to_string(child.pid()) + "/exe";
  ProgramOrigins origins = SystemOrigins();
  LinuxVerifyOps ops(origins);
  const FileCheck check =
      ops.CheckFile(fs::read_symlink(exe).string(), static_cast<std::uint32_t>(child.pid()), kNoLimit);
  EXPECT_EQ(check.state, file_state::kMatches);
  EXPECT_EQ(check.package, "coreutils");
}

TEST(LinuxVerifyOpsLive, AProgramDeletedWhileItRunsIsDeleted) {
  TempDir dir;
  const fs::path copy = linux_test::CopySleep(dir.path(), "doomed", 64 * 1024);
  linux_test::Child child(copy.string(), linux_test::SleepArgs("doomed"));
  fs::remove(copy);
  const fs::path exe = fs::read_symlink("/proc/" + std::to_string(child.pid()) + "/exe");
  ProgramOrigins origins = SystemOrigins();
  LinuxVerifyOps ops(origins);
  EXPECT_EQ(ops.CheckFile(exe.string(), static_cast<std::uint32_t>(child.pid()), kNoLimit).state,
            file_state::kDeleted);
}

}  // namespace
}  // namespace proclens::linux_port
