// The Linux version operations on real files: PATH look-up, files that are
// not PE files, and the cost of a large file.

#include "platform/linux/linux_version_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "infopage/version_info_reader.h"
#include "linux/support/version_test_support.h"
#include "unit/infopage/version_block_builder.h"
#include "unit/platform/pe/pe_image_builder.h"
#include "platform/linux/base/path_search.h"

namespace proclens::linux_port {
namespace {

namespace fs = std::filesystem;
using namespace proclens::testing;

std::vector<std::uint8_t> SampleDll() {
  return BuildPe(Serialize(VersionRoot({
                     StringFileInfo({StringTable(u"040904B0", {{u"FileDescription", u"Sample tool"},
                                                               {u"ProductName", u"Sample"},
                                                               {u"CompanyName", u"Sample Co"}})}),
                     VarFileInfo({{0x0409, 0x04B0}})})),
                 true);
}

class LinuxVersionOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("proclens-version-" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "on-path");
    fs::create_directories(dir_ / "elsewhere");
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
  }
  void TearDown() override {
    ::setenv("PATH", saved_path_.c_str(), 1);
    fs::remove_all(dir_);
  }
  fs::path Write(const fs::path& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  VersionTexts Read(const std::string& name) { return ReadVersionInfo(name, {ops_, system_}); }

  fs::path dir_;
  std::string saved_path_;
  FixedLanguageSystem system_{0x0409};
  proclens::testing::VersionsOver versions_{system_};  // the PE reader alone
  LinuxVersionOps& ops_ = versions_.ops;
};

TEST_F(LinuxVersionOpsTest, ReadsTheTextsOfAFileByItsPath) {
  const VersionTexts texts = Read(Write("tool.dll", SampleDll()).string());
  EXPECT_TRUE(texts.ok);
  EXPECT_EQ(texts.description, "Sample tool");
  EXPECT_EQ(texts.product, "Sample");
  EXPECT_EQ(texts.company, "Sample Co");
}

TEST_F(LinuxVersionOpsTest, FindsABareNameAlongPathOnly) {
  Write("on-path/tool.dll", SampleDll());
  Write("elsewhere/other.dll", SampleDll());
  const std::string path = "/nonexistent-proclens:" + (dir_ / "on-path").string();
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(ResolveAlongPath("tool.dll"), (dir_ / "on-path" / "tool.dll").string());
  EXPECT_TRUE(Read("tool.dll").ok);
  EXPECT_FALSE(Read("other.dll").ok);
  EXPECT_EQ(ResolveAlongPath("on-path"), "");  // folders are not files
  EXPECT_EQ(ResolveAlongPath("sub/tool.dll"), "sub/tool.dll");
}

TEST_F(LinuxVersionOpsTest, FilesThatAreNotPeFilesHaveNoBlock) {
  EXPECT_FALSE(Read("/bin/sh").ok);  // ELF
  EXPECT_FALSE(Read((dir_ / "missing.dll").string()).ok);
  EXPECT_FALSE(Read(dir_.string()).ok);
  EXPECT_FALSE(Read("/dev/zero").ok);
  const fs::path fifo = dir_ / "fifo.dll";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(Read(fifo.string()).ok);  // returns at once instead of waiting for a writer
}

TEST_F(LinuxVersionOpsTest, ALargeFileCostsWhatASmallOneCosts) {
  const fs::path small = Write("small.dll", SampleDll());
  const fs::path large = Write("large.dll", SampleDll());
  fs::resize_file(large, 100ull * 1024 * 1024);  // sparse: no disk space taken
  ASSERT_TRUE(Read(small.string()).ok);
  const std::uint64_t small_cost = versions_.pe.bytes_read();
  ASSERT_TRUE(Read(large.string()).ok);
  EXPECT_EQ(versions_.pe.bytes_read() - small_cost, small_cost);
  EXPECT_LT(small_cost, 4096u);
}

// A DLL linked by the MinGW tools whose resource section's raw data stops
// inside the version block, the block's trailing zeros left out of the file:
// the loader maps them from the section's virtual size, and so do we.
TEST_F(LinuxVersionOpsTest, ReadsAVersionBlockThatRunsPastTheRawData) {
  std::ifstream in(PROCLENS_VERSION_FIXTURE, std::ios::binary);
  const std::vector<std::uint8_t> linked((std::istreambuf_iterator<char>(in)), {});
  const auto cut = CutLastSectionRawData(linked, 0x200);
  ASSERT_FALSE(cut.empty());
  const VersionTexts texts = Read(Write("cut.dll", cut).string());
  EXPECT_TRUE(texts.ok);
  EXPECT_EQ(texts.description, "Resource past the raw data");
  EXPECT_EQ(texts.product, "Fixture");
  EXPECT_EQ(texts.company, "Fixture Co");
  // Past the virtual size there is nothing: the block does not fit.
  EXPECT_FALSE(Read(Write("unmapped.dll", CutLastSectionRawData(linked, 0x200, 0x200)).string()).ok);
}

}  // namespace
}  // namespace proclens::linux_port
