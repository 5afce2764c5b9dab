// The RPM database through librpm: packages built with rpmbuild and installed
// with rpm into the test's own root, then asked for owners, texts and checks.

#include "platform/linux/origins/rpm/rpm_database.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "linux/support/live_process.h"
#include "linux/support/run_command.h"
#include "platform/linux/base/unique_fd.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t kNoLimit = UINT64_MAX;

class RpmDatabaseTest : public ::testing::Test {
 protected:
  // The packages are built once for all the tests; a failure fails each of
  // them (a failure here alone would only skip them).
  static void SetUpTestSuite() {
    folder_ = new linux_test::TempDir;
    const std::string fixtures = PROCLENS_RPM_FIXTURES "/";
    built_ = proclens::testing::RunCommand(fixtures + "build-and-install.sh '" + folder_->path().string() + "' " +
                                           fixtures + "tools.rpmbuild " + fixtures + "plain.rpmbuild 2>&1");
  }
  static void TearDownTestSuite() { delete folder_; }
  void SetUp() override {
    ASSERT_EQ(built_.status, 0) << "the test packages could not be built and installed:\n" << built_.out;
  }

  static fs::path Root() { return folder_->path() / "root"; }
  static UniqueFd OpenFile(const fs::path& path) { return UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)); }
  RpmOwner Owner(const std::string& path) {
    const auto owner = database_.OwnerOf(path);
    EXPECT_TRUE(owner) << path;
    return owner.value_or(RpmOwner{});
  }

  static linux_test::TempDir* folder_;
  static proclens::testing::CommandOutput built_;
  RpmDatabase database_{Root().string()};
};
linux_test::TempDir* RpmDatabaseTest::folder_ = nullptr;
proclens::testing::CommandOutput RpmDatabaseTest::built_;

TEST_F(RpmDatabaseTest, OwnersByInstalledNameAndMergedUsrAlias) {
  const RpmOwner hello = Owner("/usr/bin/rpmtest-hello");
  EXPECT_EQ(hello.package, "rpmtest-tools");
  EXPECT_EQ(hello.listed_path, "/usr/bin/rpmtest-hello");
  // Debian's amd64 systems have /libx32 in neither form, so librpm's own
  // resolution of linked folders cannot join the two names: only the alias can.
  const RpmOwner legacy = Owner("/usr/libx32/rpmtest/legacy");
  EXPECT_EQ(legacy.package, "rpmtest-tools");
  EXPECT_EQ(legacy.listed_path, "/libx32/rpmtest/legacy");
  EXPECT_EQ(Owner("/usr/bin/rpmtest-plain").package, "rpmtest-plain");
  EXPECT_FALSE(database_.OwnerOf("/usr/bin/rpmtest-unknown"));
  EXPECT_FALSE(database_.OwnerOf("/usr/sbin/rpmtest-hello"));  // a kept package's name, in another folder
  EXPECT_EQ(database_.FilesBelow(hello, "/usr/share/metainfo/", ".xml"),
            (std::vector<std::string>{"/usr/share/metainfo/aa.rpmtest.extra.metainfo.xml",
                                      "/usr/share/metainfo/zz.rpmtest.hello.metainfo.xml"}));
}

TEST_F(RpmDatabaseTest, TextsFromMetainfoElseTheHeader) {
  struct Case {
    const char* path;
    bool german;
    OriginTexts texts;
  };
  const Case cases[] = {
      {"/usr/bin/rpmtest-hello", false, {"Says hello", "Hello", "Hello Makers"}},
      {"/usr/bin/rpmtest-hello", true, {"Sagt Hallo", "Hallo", "Hello Makers"}},
      // The first metainfo by file name, which names neither summary nor developer.
      {"/usr/bin/rpmtest-other", false, {"Test tools", "Extra", "Test Vendor"}},
      {"/usr/bin/rpmtest-other", true, {"Testwerkzeuge", "Extra", "Test Vendor"}},
      {"/usr/bin/rpmtest-plain", true, {"Plain program", "rpmtest-plain", "Pat Packer"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + (c.german ? " de" : " en"));
    const OriginTexts texts = database_.TextsOf(Owner(c.path), c.german);
    EXPECT_EQ(texts.description, c.texts.description);
    EXPECT_EQ(texts.product, c.texts.product);
    EXPECT_EQ(texts.company, c.texts.company);
  }
}

TEST_F(RpmDatabaseTest, EveryStateOfACheck) {
  linux_test::TempDir changed;
  for (const char* name : {"rpmtest-hello", "rpmtest-plain"}) {
    std::string bytes;
    std::getline(std::ifstream(Root() / "usr/bin" / name), bytes, '\0');
    bytes[bytes.size() - 2] ^= 1;
    std::ofstream(changed.path() / name, std::ios::binary) << bytes;
  }
  struct Case {
    const char* owner;
    fs::path file;
    std::uint64_t limit;
    const char* state;
  };
  const fs::path hello = Root() / "usr/bin/rpmtest-hello";
  const Case cases[] = {
      {"/usr/bin/rpmtest-hello", hello, kNoLimit, file_state::kMatches},  // SHA-256
      {"/usr/bin/rpmtest-plain", Root() / "usr/bin/rpmtest-plain", kNoLimit, file_state::kMatches},  // MD5
      {"/usr/bin/rpmtest-hello", changed.path() / "rpmtest-hello", kNoLimit, file_state::kDiffers},
      {"/usr/bin/rpmtest-plain", changed.path() / "rpmtest-plain", kNoLimit, file_state::kDiffers},
      {"/etc/rpmtest.conf", Root() / "etc/rpmtest.conf", kNoLimit, file_state::kNoRecord},
      {"/var/log/rpmtest.log", hello, kNoLimit, file_state::kNoRecord},
      {"/usr/bin/rpmtest-unverified", Root() / "usr/bin/rpmtest-unverified", kNoLimit, file_state::kNoRecord},
      {"/usr/bin/rpmtest-hello", Root() / "usr/bin", kNoLimit, file_state::kUnreadable},
      {"/usr/bin/rpmtest-hello", hello, fs::file_size(hello) - 1, file_state::kNotChecked},
      {"/usr/bin/rpmtest-hello", hello, fs::file_size(hello), file_state::kMatches},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.owner) + " with " + c.file.string());
    const UniqueFd fd = OpenFile(c.file);
    ASSERT_TRUE(fd.valid());
    EXPECT_STREQ(database_.Check(Owner(c.owner), fd.get(), c.limit), c.state);
  }
}

// A database is the system's word only where root alone can write it, and
// reading it writes nothing there.
TEST_F(RpmDatabaseTest, OnlyADatabaseThatRootAloneCanWriteAnswersAndReadingWritesNothing) {
  const fs::path database = Root() / "root/.rpmdb";
  struct Case {
    const char* hostile;
    std::function<void()> make;
    bool answers;
  };
  const Case cases[] = {
      {"nothing: root's own", [] {}, true},
      {"the folder belongs to a user", [&] { EXPECT_EQ(::chown(database.c_str(), 65534, 0), 0); }, false},
      {"the folder is writable by a group of users",
       [&] {
         fs::permissions(database, fs::perms::group_write, fs::perm_options::add);
         EXPECT_EQ(::chown(database.c_str(), 0, 100), 0);
       },
       false},
      {"the database file is writable by anyone",
       [&] { fs::permissions(database / "rpmdb.sqlite", fs::perms::others_write, fs::perm_options::add); }, false},
      {"a folder above is a user's", [&] { EXPECT_EQ(::chown((Root() / "root").c_str(), 65534, 65534), 0); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hostile);
    const fs::path saved = folder_->path() / "saved";
    fs::copy(Root(), saved, fs::copy_options::recursive);
    // What rpm itself left beside the database is not this reader's.
    for (const char* companion : {"rpmdb.sqlite-shm", "rpmdb.sqlite-wal"}) fs::remove(database / companion);
    c.make();
    const auto files = [&database] {
      return std::set<fs::path>(fs::directory_iterator(database), fs::directory_iterator{});
    };
    const std::set<fs::path> before = files();
    RpmDatabase asked(Root().string());
    EXPECT_EQ(asked.OwnerOf("/usr/bin/rpmtest-hello").has_value(), c.answers);
    EXPECT_EQ(files(), before);
    fs::remove_all(Root());
    fs::rename(saved, Root());
  }
}

TEST_F(RpmDatabaseTest, NoDatabaseAnswersNothingAndMakesNone) {
  linux_test::TempDir empty;
  RpmDatabase nowhere(empty.path().string());
  EXPECT_FALSE(nowhere.OwnerOf("/usr/bin/rpmtest-hello"));
  EXPECT_TRUE(fs::is_empty(empty.path()));
  RpmDatabase without_librpm(Root().string(), [] { return static_cast<const RpmLibrary*>(nullptr); });
  EXPECT_FALSE(without_librpm.OwnerOf("/usr/bin/rpmtest-hello"));
}

}  // namespace
}  // namespace proclens::linux_port
