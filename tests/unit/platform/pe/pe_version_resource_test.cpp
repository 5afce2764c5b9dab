#include "platform/pe/pe_version_resource.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "unit/infopage/version_block_builder.h"
#include "unit/platform/pe/pe_image_builder.h"

namespace proclens::pe {
namespace {

using namespace proclens::testing;
using L = PeLayout;

std::vector<std::uint8_t> Block() {
  return Serialize(VersionRoot({StringFileInfo({StringTable(u"040904B0", {{u"ProductName", u"P"}})}),
                                VarFileInfo({{0x0409, 0x04B0}})}));
}

std::vector<std::uint8_t> Read(const std::vector<std::uint8_t>& file) {
  MemoryReader reader(file.data(), file.size());
  return ReadVersionResource(reader);
}

// Counts what the parser asks for.
class CountingReader : public MemoryReader {
 public:
  using MemoryReader::MemoryReader;
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    bytes += n;
    return MemoryReader::ReadAt(offset, buffer, n);
  }
  std::uint64_t bytes = 0;
};

TEST(ReadVersionResource, ReadsTheBlockOf32And64BitFiles) {
  EXPECT_EQ(Read(BuildPe(Block(), false)), Block());
  EXPECT_EQ(Read(BuildPe(Block(), true)), Block());
  // Without resource 1, the first version resource stands in.
  EXPECT_EQ(Read(BuildPe(Block(), true, 7)), Block());
}

TEST(ReadVersionResource, PicksTheLanguageTheLoaderWouldPick) {
  const std::vector<std::uint8_t> arabic = {1}, german = {2}, swiss = {3}, english = {4}, neutral = {5};
  const auto Pick = [](const std::vector<LanguageBlock>& languages, std::uint16_t user) {
    const auto file = BuildPe(languages, true);
    MemoryReader reader(file.data(), file.size());
    return ReadVersionResource(reader, user);
  };
  EXPECT_EQ(Pick({{0x401, arabic}, {0x409, english}, {0x000, neutral}}, 0x407), neutral);
  EXPECT_EQ(Pick({{0x401, arabic}, {0x409, english}, {0x807, swiss}}, 0x807), swiss);
  EXPECT_EQ(Pick({{0x401, arabic}, {0x409, english}, {0x007, german}}, 0x807), german);
  EXPECT_EQ(Pick({{0x401, arabic}, {0x409, english}, {0x807, swiss}}, 0x411), english);
  EXPECT_EQ(Pick({{0x401, arabic}, {0x807, swiss}}, 0x411), arabic);
}

TEST(ReadVersionResource, FilesThatAreNotPeHaveNoBlock) {
  EXPECT_TRUE(Read({}).empty());
  const std::vector<std::uint8_t> elf = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(Read(elf).empty());
  auto no_signature = BuildPe(Block(), true);
  no_signature[L::kPeOffset + 1] = 'X';
  EXPECT_TRUE(Read(no_signature).empty());
  auto rom_image = BuildPe(Block(), true);
  PokeU16(rom_image, L::kOptionalOffset, 0x107);
  EXPECT_TRUE(Read(rom_image).empty());
}

TEST(ReadVersionResource, AFileWithoutAVersionTypeHasNoBlock) {
  auto icons_only = BuildPe(Block(), true);
  PokeU32(icons_only, L::kResourceRaw + 16, 3);  // RT_ICON instead of RT_VERSION
  EXPECT_TRUE(Read(icons_only).empty());
  auto no_directory = BuildPe(Block(), false);
  PokeU32(no_directory, L::kOptionalOffset + 92, 2);  // no room for the resource entry
  EXPECT_TRUE(Read(no_directory).empty());
}

TEST(ReadVersionResource, EveryTruncationGivesNoBlockOrTheWholeBlock) {
  const auto file = BuildPe(Block(), true);
  const auto block = Block();
  for (std::size_t size = 0; size < file.size(); ++size) {
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(size));
    const auto got = Read(cut);
    const bool whole_block_inside = size >= L::kResourceRaw + L::kData + block.size();
    EXPECT_EQ(got.empty(), !whole_block_inside) << size;
  }
}

TEST(ReadVersionResource, OffsetsOutsideTheTreeOrFileGiveNoBlock) {
  const auto good = BuildPe(Block(), true);
  auto far_directory = good;
  PokeU32(far_directory, L::kResourceRaw + 20, 0x80000000u | 0x7FFFFFF0u);
  EXPECT_TRUE(Read(far_directory).empty());
  auto far_data = good;
  PokeU32(far_data, L::kResourceRaw + L::kDataEntry, 0xFFFFFFF0u);
  EXPECT_TRUE(Read(far_data).empty());
  auto raw_beyond_file = good;
  PokeU32(raw_beyond_file, L::SectionTable(true) + 20, 0x7FFFFFFFu);
  EXPECT_TRUE(Read(raw_beyond_file).empty());
  auto data_past_section = good;
  PokeU32(data_past_section, L::kResourceRaw + L::kDataEntry + 4, 0x1000);
  EXPECT_TRUE(Read(data_past_section).empty());
}

// A section whose raw data ends inside the block while its virtual size goes
// on: the loader maps the rest as zeros, whatever the file holds behind it.
TEST(ReadVersionResource, ThePartPastTheRawDataIsZerosUpToTheVirtualSize) {
  const auto block = Block();
  const std::uint32_t cut = 40;  // bytes of the block inside the raw data
  const std::uint32_t section = L::SectionTable(true);
  const auto file_with = [&](std::uint32_t virtual_size, std::size_t file_size) {
    auto file = BuildPe(block, true);
    PokeU32(file, section + 8, virtual_size);
    PokeU32(file, section + 16, L::kData + cut);
    std::fill(file.begin() + L::kResourceRaw + L::kData + cut, file.end(), 0xCC);
    file.resize(file_size, 0xCC);
    return file;
  };
  auto mapped = block;
  std::fill(mapped.begin() + cut, mapped.end(), 0);
  const std::size_t raw_end = L::kResourceRaw + L::kData + cut;
  const auto block_end = static_cast<std::uint32_t>(L::kData + block.size());

  EXPECT_EQ(Read(file_with(block_end, raw_end + 512)), mapped);
  EXPECT_EQ(Read(file_with(block_end, raw_end)), mapped);  // the file ends with the raw data
  EXPECT_TRUE(Read(file_with(block_end - 1, raw_end + 512)).empty());
  EXPECT_TRUE(Read(file_with(block_end, raw_end - 1)).empty());  // raw data cut short
}

TEST(ReadVersionResource, LoopingTreesAndOversizedBlocksGiveNoBlock) {
  auto loop = BuildPe(Block(), true);
  // The name level points back at the root, the language level at itself.
  PokeU32(loop, L::kResourceRaw + L::kTypeDirectory + 20, 0x80000000u);
  EXPECT_TRUE(Read(loop).empty());
  auto self = BuildPe(Block(), true);
  PokeU32(self, L::kResourceRaw + L::kNameDirectory + 20, 0x80000000u | L::kNameDirectory);
  EXPECT_TRUE(Read(self).empty());

  std::vector<std::uint8_t> big(kMaxVersionBlockSize + 4, 0);
  EXPECT_TRUE(Read(BuildPe(big, true)).empty());
  std::vector<std::uint8_t> largest(kMaxVersionBlockSize, 0);
  EXPECT_EQ(Read(BuildPe(largest, true)).size(), kMaxVersionBlockSize);
}

TEST(ReadVersionResource, ReadsOnlyTheHeadersTreeAndBlock) {
  auto file = BuildPe(Block(), true);
  file.resize(file.size() + 50 * 1024 * 1024, 0);  // a large section of code behind it
  CountingReader reader(file.data(), file.size());
  EXPECT_EQ(ReadVersionResource(reader), Block());
  EXPECT_LT(reader.bytes, 1024u + Block().size());
}

TEST(ReadVersionResource, HugeCountsAreCappedNotTrusted) {
  auto file = BuildPe(Block(), true);
  PokeU16(file, L::kPeOffset + 6, 0xFFFF);           // sections
  PokeU16(file, L::kResourceRaw + 12, 0xFFFF);       // named root entries
  file.resize(file.size() + 0xFFFF * 40, 0);
  CountingReader reader(file.data(), file.size());
  ReadVersionResource(reader);
  EXPECT_LT(reader.bytes, 128u * 1024u);
}

}  // namespace
}  // namespace proclens::pe
