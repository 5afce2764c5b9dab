#include "platform/linux/origins/appimage/appimage_origin.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "linux/origins/sandbox_support.h"
#include "linux/support/run_command.h"

namespace proclens::linux_port {
namespace {

TEST(AppImageRun, MountsAndEnvironmentsAreReadAsTheKernelWritesThem) {
  const auto mounts = ParseMountInfo(
      "22 1 0:21 / / rw - ext4 /dev/sda1 rw\n"
      "40 22 0:39 / /tmp/.mount_Viewer\\040x rw,nosuid - fuse.Viewer.AppImage Viewer.AppImage ro,user_id=1000,group_id=1000\n"
      "41 40 0:40 / /tmp/.mount_Viewer\\040x/usr/lib rw - tmpfs tmpfs rw\n"
      "42 22 0:41 / /media/disk rw - fuse /dev/sdb1 rw,user_id=0\n"
      "garbage without the separator\n");
  ASSERT_EQ(mounts.size(), 4u);
  EXPECT_EQ(mounts[1].mount_point, "/tmp/.mount_Viewer x");
  const struct {
    const char* path;
    const char* holder;
    bool fuse;
  } cases[] = {
      {"/tmp/.mount_Viewer x/usr/bin/viewer", "/tmp/.mount_Viewer x", true},
      {"/tmp/.mount_Viewer x/usr/lib/libv.so", "/tmp/.mount_Viewer x/usr/lib", false},
      {"/tmp/.mount_Viewer xy/bin", "/", false},
      {"/media/disk/tool", "/media/disk", true},
  };
  for (const auto& c : cases) {
    const Mount* mount = MountHolding(mounts, c.path);
    ASSERT_NE(mount, nullptr) << c.path;
    EXPECT_EQ(mount->mount_point, c.holder) << c.path;
    EXPECT_EQ(mount->fuse, c.fuse) << c.path;
  }
  EXPECT_EQ(mounts[1].user_id, 1000u);

  using namespace std::string_view_literals;
  const auto run = ParseAppImageEnviron("HOME=/root\0APPIMAGE=/home/u/Viewer.AppImage\0APPDIR=/tmp/.mount_V/\0"sv);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->appimage, "/home/u/Viewer.AppImage");
  EXPECT_EQ(run->appdir, "/tmp/.mount_V");
  EXPECT_FALSE(ParseAppImageEnviron("APPIMAGE=/x\0"sv));
  EXPECT_FALSE(ParseAppImageEnviron("APPIMAGE=x\0APPDIR=/y\0"sv));
}

TEST(AppImageOriginLive, AProgramOfAMountedImageIsNamedByItsImageWhetherAskedByProcessOrPath) {
  if (::geteuid() != 0 || ::access("/usr/bin/squashfuse", X_OK) != 0 || ::access("/dev/fuse", R_OK) != 0)
    GTEST_SKIP() << "needs root, FUSE and squashfuse";
  TempDir dir;
  const fs::path appdir = dir.path() / "AppDir";
  WriteText(appdir / "usr/share/metainfo/org.example.Viewer.appdata.xml",
            "<component><name>Image Viewer</name><summary>Views images</summary>"
            "<developer_name>Example Studio</developer_name><provides><binary>viewer</binary></provides></component>");
  WriteText(appdir / "viewer.desktop", "[Desktop Entry]\nType=Application\nName=Entry Viewer\nIcon=viewer\n");
  WriteText(appdir / "viewer.png", "png");
  fs::create_symlink("viewer.png", appdir / ".DirIcon");
  fs::create_directories(appdir / "usr/bin");
  linux_test::CopySleep(appdir / "usr/bin", "viewer", 60000);
  const fs::path image = dir.path() / "Viewer.AppImage";
  const fs::path mount_point = dir.path() / "mnt";
  origins_test::FuseImage mounted(appdir, image, mount_point, origins_test::FuseImage::Server::kTheImage);
  ASSERT_TRUE(mounted.mounted());
  const std::string program = (mount_point / "usr/bin/viewer").string();
  Child run("/usr/bin/env", {"env", "APPIMAGE=" + image.string(), "APPDIR=" + mount_point.string(), program, "600"});
  const pid_t pid = origins_test::DescendantRunning(::getpid(), program);
  ASSERT_EQ(pid, run.pid());

  AppImageOrigin origin;
  for (const std::uint32_t asked : {static_cast<std::uint32_t>(pid), 0u}) {
    origins_test::ExpectAnswers(origin, {program, asked}, false,
                                {image.string(), {"Views images", "Image Viewer", "Example Studio"},
                                 (mount_point / "viewer.png").string(), file_state::kNoPackage});
  }

  // A mount that another program serves is only its user's: the image that
  // the variables name is not proven to be the one mounted.
  {
    const fs::path other_point = dir.path() / "other";
    origins_test::FuseImage other(appdir, dir.path() / "Other.AppImage", other_point,
                                  origins_test::FuseImage::Server::kSquashfuse);
    ASSERT_TRUE(other.mounted());
    const std::string other_program = (other_point / "usr/bin/viewer").string();
    Child claimed("/usr/bin/env", {"env", "APPIMAGE=" + image.string(), "APPDIR=" + other_point.string(),
                                   other_program, "600"});
    ASSERT_EQ(origins_test::DescendantRunning(::getpid(), other_program), claimed.pid());
    AppImageOrigin fresh;
    const ProgramFile file{other_program, static_cast<std::uint32_t>(claimed.pid())};
    EXPECT_EQ(fresh.InstallerOf(file), other_point.string());
    const FileCheck check = fresh.Check(file, -1, 0);
    EXPECT_EQ(check.state, file_state::kNoPackage);
    EXPECT_EQ(check.package, "");
    EXPECT_EQ(check.authority, CheckAuthority::kUserMount);
    EXPECT_EQ(check.authority_user, "root");
    claimed.KillAndReap();
  }

  // Variables that name the mount holding a program outside any FUSE mount
  // do not make it an AppImage's.
  const fs::path plain = linux_test::CopySleep(appdir, "plain", 60000);
  const auto mounts = ParseMountInfo(ReadProcText("/proc/self/mountinfo", 1u << 24).value_or(""));
  const Mount* holder = MountHolding(mounts, plain.string());
  ASSERT_NE(holder, nullptr);
  Child pretender("/usr/bin/env", {"env", "APPIMAGE=" + image.string(), "APPDIR=" + holder->mount_point,
                                   plain.string(), "600"});
  ASSERT_GT(origins_test::DescendantRunning(::getpid(), plain.string()), 0);
  EXPECT_FALSE(origin.InstallerOf({plain.string(), static_cast<std::uint32_t>(pretender.pid())}));
}

}  // namespace
}  // namespace proclens::linux_port
