// What another user can make ProcLens say: each case plays that user
// (nobody, through setpriv) against the command line as built, and checks
// that no one's word is taken for the system's.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "linux/origins/sandbox_support.h"
#include "linux/support/run_command.h"

namespace proclens::linux_port {
namespace {

using origins_test::FuseImage;
using proclens::testing::RunCommand;

constexpr uid_t kNobody = 65534;
const std::string kAsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

std::string Cli(const std::string& arguments) { return std::string(PROCLENS_CLI_PATH) + " " + arguments; }

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::string TextOf(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// The page that a command's output names (page prints the page file's path).
std::string PageOf(const proclens::testing::CommandOutput& page) {
  const std::string path = page.out.substr(0, page.out.find('\n'));
  return path.empty() ? std::string() : TextOf(path);
}

void OwnTree(const fs::path& root) { ASSERT_EQ(RunCommand("chown -R 65534:65534 " + Quoted(root)).status, 0); }

// A process of nobody's: env runs the program with the given variables.
std::unique_ptr<Child> StartAsNobody(const std::vector<std::string>& environment, const fs::path& program) {
  std::vector<std::string> argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "env"};
  argv.insert(argv.end(), environment.begin(), environment.end());
  argv.insert(argv.end(), {program.string(), "600"});
  auto child = std::make_unique<Child>("/usr/bin/setpriv", argv);
  // setpriv and env exec in turn; the process is the program's once its image is.
  const std::string exe = "/proc/" + std::to_string(child->pid()) + "/exe";
  std::error_code unreadable;
  for (int i = 0; i < 500 && fs::read_symlink(exe, unreadable).string() != program.string(); ++i) ::usleep(10000);
  return child;
}

class OtherUsersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "needs root and setpriv";
  }
  // An AppDir whose program is a copy of sleep.
  fs::path AppDir() {
    const fs::path appdir = dir_.path() / "AppDir";
    fs::create_directories(appdir / "usr/bin");
    linux_test::CopySleep(appdir / "usr/bin", "app", 60000);
    return appdir;
  }
  TempDir dir_;
};

TEST_F(OtherUsersTest, AUsersOwnRpmDatabaseVouchesForNothing) {
  if (::access("/usr/bin/rpmbuild", X_OK) != 0) GTEST_SKIP() << "needs rpmbuild";
  const fs::path home = dir_.path() / "home";
  const fs::path helper = dir_.path() / "evil/gnome-keyring-helper";
  fs::create_directories(helper.parent_path());
  fs::copy_file("/bin/sleep", helper);
  // A package of the user's own making that names a well-known package and vendor.
  origins_test::WriteText(dir_.path() / "fake.rpmbuild",
                          "Name: gnome-keyring\nVersion: 1\nRelease: 1\nSummary: Keyring\nLicense: MIT\n"
                          "Vendor: The Debian Project\nAutoReqProv: no\n%global debug_package %{nil}\n%description\nx\n"
                          "%install\nmkdir -p %{buildroot}" + helper.parent_path().string() +
                          "\ncp /bin/sleep %{buildroot}" + helper.string() + "\n%files\n" + helper.string() + "\n");
  const auto built = RunCommand(
      "rpmbuild -bb --quiet --define '_topdir " + (dir_.path() / "build").string() + "' --define '_dbpath " +
      (dir_.path() / "db").string() + "' --define '__os_install_post %{nil}' " + Quoted(dir_.path() / "fake.rpmbuild") +
      " 2>&1 && rpm --dbpath " + Quoted(home / ".rpmdb") + " -i --justdb --nodeps " +
      (dir_.path() / "build/RPMS/*/*.rpm").string() + " 2>&1");
  ASSERT_EQ(built.status, 0) << built.out;
  OwnTree(home);
  OwnTree(helper.parent_path());
  const auto running = StartAsNobody({}, helper);
  for (const std::string& asked : {helper.string(), std::to_string(running->pid())}) {
    for (const std::string& who : {kAsNobody, std::string()}) {
      SCOPED_TRACE(asked + (who.empty() ? " asked by root" : " asked by nobody"));
      const auto verified = RunCommand(who + "env HOME=" + home.string() + " " + Cli("verify " + asked));
      EXPECT_EQ(verified.status, 1) << verified.out;
      EXPECT_EQ(verified.out.find("\tgnome-keyring"), std::string::npos) << verified.out;
    }
  }
}

TEST_F(OtherUsersTest, RootRunsNoneOfAUsersRpmMacros) {
  const fs::path home = dir_.path() / "home";
  const fs::path marker = dir_.path() / "ran";
  origins_test::WriteText(home / ".rpmmacros", "%_dbpath %(touch " + marker.string() + "; echo ~/.rpmdb)\n"
                                               "%_db_backend %(touch " + marker.string() + ")\n");
  // A file that dpkg does not list, so that the RPM database is asked.
  const fs::path file = linux_test::CopySleep(dir_.path(), "unlisted", 60000);
  RunCommand("env HOME=" + home.string() + " " + Cli("verify " + Quoted(file)));
  EXPECT_FALSE(fs::exists(marker));
}

TEST_F(OtherUsersTest, AFolderSwappedForALinkNamesNoPackage) {
  const fs::path race = dir_.path() / "race";
  fs::create_directories(race / "A");
  fs::copy_file("/bin/sleep", race / "A/sleep");
  fs::create_symlink("/usr/bin", race / "B");
  OwnTree(race);
  const auto sleeper = StartAsNobody({}, race / "A/sleep");
  // The user swaps the folder and the link as fast as the system lets them.
  linux_test::Child swapper("/usr/bin/setpriv",
                            {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                             "import ctypes, os\nos.chdir('" + race.string() + "')\nlibc = ctypes.CDLL(None)\n"
                             "while True: libc.renameat2(-100, b'A', -100, b'B', 2)\n"});
  int named_a_package = 0;
  for (int i = 0; i < 60; ++i) {
    const auto verified = RunCommand(Cli("verify " + std::to_string(sleeper->pid())) + " 2>/dev/null");
    if (verified.out.find("coreutils") != std::string::npos) ++named_a_package;
  }
  EXPECT_EQ(named_a_package, 0);
  std::error_code gone;
  EXPECT_NE(fs::read_symlink("/proc/" + std::to_string(swapper.pid()) + "/exe", gone).string().find("python"),
            std::string::npos)
      << "the folders were not swapped all along";
}

TEST_F(OtherUsersTest, AUsersSandboxNamesNoHostPathForItsDeletedProgram) {
  const fs::path app = dir_.path() / "app";
  fs::create_directories(app / "bin");
  linux_test::CopySleep(app / "bin", "dbus-daemon", 60000);
  origins_test::WriteText(dir_.path() / "info", "[Application]\nname=org.example.Fake\n[Instance]\napp-path=/usr\n");
  OwnTree(app);
  std::vector<std::string> argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  const std::vector<std::string> sandbox = origins_test::SandboxRoot();
  argv.insert(argv.end(), sandbox.begin(), sandbox.end());
  argv.insert(argv.end(), {"--ro-bind", (dir_.path() / "info").string(), "/.flatpak-info", "--ro-bind", app.string(),
                           "/app", "--", "/app/bin/dbus-daemon", "600"});
  linux_test::Child bwrap("/usr/bin/setpriv", argv);
  const pid_t program = origins_test::DescendantRunning(bwrap.pid(), "/app/bin/dbus-daemon");
  ASSERT_GT(program, 0);
  fs::remove(app / "bin/dbus-daemon");
  // The process's own line: other dbus-daemons may run on the machine.
  const std::string listed = RunCommand(Cli("list")).out;
  const std::size_t row = listed.find(std::to_string(program) + "\t");
  ASSERT_NE(row, std::string::npos);
  const std::string verified = RunCommand(Cli("verify " + std::to_string(program))).out;
  for (const std::string& line : {listed.substr(row, listed.find('\n', row) - row), verified}) {
    EXPECT_EQ(line.find("/usr/bin/dbus-daemon"), std::string::npos) << line;
    EXPECT_NE(line.find("/app/bin/dbus-daemon (deleted)"), std::string::npos) << line;
  }
  EXPECT_TRUE(origins_test::HostRootIsClean());
}

// A root of nobody's own, whose package database vouches for its program
// under a package's name: nobody's word, never a match.
TEST_F(OtherUsersTest, AUsersOwnRootVouchesForNothing) {
  if (::access("/bin/busybox", X_OK) != 0) GTEST_SKIP() << "needs busybox-static";
  const fs::path root = dir_.path() / "root";
  fs::create_directories(root / "bin");
  fs::copy_file("/bin/busybox", root / "bin/busybox");
  fs::create_symlink("busybox", root / "bin/sleep");
  const std::string sha1 = RunCommand("openssl dgst -sha1 -binary /bin/busybox | base64").out;
  origins_test::WriteText(root / "lib/apk/db/installed", "P:coreutils\nm:Debian <d@example.org>\nF:bin\nR:busybox\nZ:Q1" +
                                                            sha1.substr(0, sha1.find('\n')) + "\n");
  OwnTree(root);
  linux_test::Child bwrap("/usr/bin/setpriv",
                          {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "bwrap", "--bind",
                           root.string(), "/", "--proc", "/proc", "--dev", "/dev", "--unshare-pid",
                           "--die-with-parent", "--", "/bin/sleep", "600"});
  const pid_t program = origins_test::DescendantRunning(bwrap.pid(), "/bin/busybox");
  ASSERT_GT(program, 0);
  const auto verified = RunCommand(Cli("verify " + std::to_string(program)));
  EXPECT_EQ(verified.status, 1) << verified.out;
  EXPECT_NE(verified.out.find("\tuntrusted-root\t"), std::string::npos) << verified.out;
  EXPECT_EQ(verified.out.find("coreutils"), std::string::npos) << verified.out;
  const std::string page = PageOf(RunCommand(Cli("page " + std::to_string(program))));
  EXPECT_NE(page.find("user nobody can change this process's root"), std::string::npos) << page;
  EXPECT_EQ(page.find("coreutils"), std::string::npos) << page;
  EXPECT_TRUE(origins_test::HostRootIsClean());
}

TEST_F(OtherUsersTest, AProcessWhoseFileCannotBeSeenGetsNoOtherFilesPage) {
  fs::create_directories(dir_.path() / "bin");
  const fs::path program = linux_test::CopySleep(dir_.path() / "bin", "dbus-daemon", 60000);
  linux_test::Child roots(program.string(), linux_test::SleepArgs("dbus-daemon"));
  const std::string page = PageOf(RunCommand(kAsNobody + Cli("page " + std::to_string(roots.pid()))));
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(page.find("interprocess messaging"), std::string::npos);
  EXPECT_NE(page.find("cannot be seen here"), std::string::npos);
}

TEST_F(OtherUsersTest, AUsersMountIsTheirsAndItsNamedImageIsNotBelieved) {
  if (::access("/usr/bin/squashfuse", X_OK) != 0) GTEST_SKIP() << "needs squashfuse";
  const fs::path mount_point = dir_.path() / "mnt";
  FuseImage mounted(AppDir(), dir_.path() / "served.squashfs", mount_point, FuseImage::Server::kSquashfuse, kNobody,
                    kNobody);
  ASSERT_TRUE(mounted.mounted());
  const auto app = StartAsNobody(
      {"APPIMAGE=/opt/KeePassXC-2.7.9-x86_64.AppImage", "APPDIR=" + mount_point.string()}, mount_point / "usr/bin/app");
  const std::string page = PageOf(RunCommand(kAsNobody + Cli("page " + std::to_string(app->pid()))));
  EXPECT_EQ(page.find("KeePassXC"), std::string::npos);
  EXPECT_NE(page.find("a file system that user nobody mounted"), std::string::npos) << page;
  const auto verified = RunCommand(kAsNobody + Cli("verify " + std::to_string(app->pid())));
  EXPECT_NE(verified.out.find("\tno-package\t\ton a file system that user nobody mounted\n"), std::string::npos)
      << verified.out;
}

TEST_F(OtherUsersTest, AStoppedFuseServerHoldsNothingUp) {
  if (::access("/usr/bin/squashfuse", X_OK) != 0) GTEST_SKIP() << "needs squashfuse";
  const fs::path mount_point = dir_.path() / "mnt";
  FuseImage mounted(AppDir(), dir_.path() / "served.squashfs", mount_point, FuseImage::Server::kSquashfuse, kNobody,
                    kNobody);
  ASSERT_TRUE(mounted.mounted());
  const auto app = StartAsNobody({"APPDIR=" + mount_point.string()}, mount_point / "usr/bin/app");
  ASSERT_EQ(::kill(mounted.server(), SIGSTOP), 0);
  const std::string pid = std::to_string(app->pid());
  for (const std::string& command : {std::string("list"), "verify " + pid, "page " + pid}) {
    SCOPED_TRACE(command);
    const auto answer = RunCommand("timeout 30 " + kAsNobody + Cli(command));
    EXPECT_NE(answer.status, 124) << "still waiting after 30 s";
    if (command == "list") {
      EXPECT_NE(answer.out.find(pid + "\tapp\t" + (mount_point / "usr/bin/app").string()), std::string::npos);
    }
  }
  ::kill(mounted.server(), SIGCONT);
}

}  // namespace
}  // namespace proclens::linux_port
