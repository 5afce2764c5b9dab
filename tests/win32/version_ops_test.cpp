// version.dll against the portable PE reader on the same files: the DLLs and
// programs of the Wine prefix, and a built file with non-ASCII texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "infopage/version_info_reader.h"
#include "platform/pe/pe_version_resource.h"
#include "platform/pe/version_block.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_version_ops.h"
#include "unit/infopage/version_block_builder.h"
#include "unit/platform/pe/pe_image_builder.h"
#include "win32/win32_test_support.h"

namespace proclens::win32 {
namespace {

using testing::CopyFileTo;
using testing::Narrow;
using testing::ScratchDirectory;

class StreamReader : public pe::PositionedReader {
 public:
  explicit StreamReader(const std::string& path) : in_(path, std::ios::binary) {
    in_.seekg(0, std::ios::end);
    size_ = in_ ? static_cast<std::uint64_t>(in_.tellg()) : 0;
  }
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset > size_ || n > size_ - offset) return false;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(n)));
  }

 private:
  std::ifstream in_;
  std::uint64_t size_ = 0;
};

// The portable reader in the ANSI build: UTF-8 texts turned into the ANSI code
// page the way VerQueryValueA turns the block's UTF-16.
class PortableVersionOps : public VersionOps {
 public:
  explicit PortableVersionOps(std::uint16_t lang_id) : lang_id_(lang_id) {}
  std::uint32_t GetFileVersionInfoSize(const std::string& file_name, std::uint32_t& handle) override {
    handle = 0;
    StreamReader file(file_name);
    block_ = pe::ReadVersionResource(file, lang_id_);
    return static_cast<std::uint32_t>(block_.size());
  }
  bool GetFileVersionInfo(const std::string&, std::uint32_t, std::uint32_t size, std::uint8_t* buffer) override {
    if (block_.empty() || size < block_.size()) return false;
    std::copy(block_.begin(), block_.end(), buffer);
    return true;
  }
  bool VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& path,
                     VersionValue& value) override {
    if (!query_.VerQueryValue(block, block_size, path, value)) return false;
    if (value.text) {
      ansi_ = Ansi(value.text);
      value.text = ansi_.c_str();
    }
    return true;
  }

 private:
  static std::string Ansi(const std::string& utf8) {
    const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), wide_length);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), length, nullptr, nullptr);
    return ansi.c_str();
  }

  std::uint16_t lang_id_;
  std::vector<std::uint8_t> block_;
  pe::BlockQuery query_;
  std::string ansi_;
};

std::vector<std::string> SystemFiles(const char* pattern) {
  std::vector<std::string> files;
  const std::string folder = "C:\\windows\\system32\\";
  WIN32_FIND_DATAA found = {};
  FindHandle search(FindFirstFileA((folder + pattern).c_str(), &found));
  if (!search) return files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + found.cFileName);
  } while (FindNextFileA(search.get(), &found));
  return files;
}

// Whether version.dll found a block.
bool ExpectSameTexts(const std::string& file) {
  Win32SystemInfo system;
  Win32VersionOps windows;
  PortableVersionOps portable(system.UserDefaultLangId());
  const VersionTexts expected = ReadVersionInfo(file, {windows, system});
  const VersionTexts ours = ReadVersionInfo(file, {portable, system});
  EXPECT_EQ(ours.ok, expected.ok) << file;
  EXPECT_EQ(ours.description, expected.description) << file;
  EXPECT_EQ(ours.product, expected.product) << file;
  EXPECT_EQ(ours.company, expected.company) << file;
  return expected.ok;
}

// Writes the file into a scratch folder and reads it both ways: version.dll's texts.
VersionTexts ReadBothWays(const std::vector<std::uint8_t>& image) {
  ScratchDirectory scratch;
  const std::string path = Narrow(scratch.path()) + "\\built.dll";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  ExpectSameTexts(path);
  Win32SystemInfo system;
  Win32VersionOps windows;
  return ReadVersionInfo(path, {windows, system});
}

TEST(VersionOpsTest, ThePortableReaderAgreesWithVersionDllOnTheSystemFiles) {
  std::vector<std::string> files = SystemFiles("*.dll");
  const std::vector<std::string> programs = SystemFiles("*.exe");
  files.insert(files.end(), programs.begin(), programs.end());
  ASSERT_GT(files.size(), 100u);
  int with_block = 0;
  for (const std::string& file : files) with_block += ExpectSameTexts(file);
  EXPECT_GT(with_block, 50);
}

TEST(VersionOpsTest, BothReadABuiltFileWithTextsBeyondAscii) {
  using proclens::testing::BuildPe;
  using proclens::testing::Serialize;
  using proclens::testing::StringFileInfo;
  using proclens::testing::StringTable;
  using proclens::testing::VarFileInfo;
  using proclens::testing::VersionRoot;
  const auto block = Serialize(VersionRoot({
      StringFileInfo({StringTable(u"040904b0", {{u"FileDescription", u"Caf\u00e9 tool"},
                                                {u"CompanyName", u"M\u00fcller"}})}),
      VarFileInfo({{0x0409, 0x04B0}})}));
  EXPECT_EQ(ReadBothWays(BuildPe(block, true)).company, "M\xFC" "ller");
}

TEST(VersionOpsTest, ABareNameIsFoundAlongTheLibrarySearchOrderOnly) {
  Win32SystemInfo system;
  Win32VersionOps windows;
  EXPECT_TRUE(ReadVersionInfo("kernel32.dll", {windows, system}).ok);
  ScratchDirectory scratch;
  const std::wstring copy = scratch.path() + L"\\proclens-version-probe.dll";
  ASSERT_TRUE(CopyFileTo(L"C:\\windows\\system32\\kernel32.dll", copy));
  EXPECT_TRUE(ReadVersionInfo(Narrow(copy), {windows, system}).ok);
  EXPECT_FALSE(ReadVersionInfo("proclens-version-probe.dll", {windows, system}).ok);
}

// The version fixture, linked by the MinGW tools, with its resource section's
// raw data cut inside the version block: version.dll maps the rest as zeros
// and shows the texts, and the portable reader agrees.
TEST(VersionOpsTest, BothReadABlockThatRunsPastTheRawData) {
  std::string linked_path = "Z:" PROCLENS_VERSION_FIXTURE;
  std::replace(linked_path.begin(), linked_path.end(), '/', '\\');
  std::ifstream in(linked_path, std::ios::binary);
  const std::vector<std::uint8_t> linked((std::istreambuf_iterator<char>(in)), {});
  const auto cut = proclens::testing::CutLastSectionRawData(linked, 0x200);
  ASSERT_FALSE(cut.empty()) << linked_path;
  EXPECT_EQ(ReadBothWays(cut).description, "Resource past the raw data");
}

}  // namespace
}  // namespace proclens::win32
