#include "platform/pe/pe_version_resource.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/pe/little_endian.h"

namespace proclens::pe {
namespace {

constexpr std::uint32_t kResourceTypeVersion = 16;  // RT_VERSION
constexpr std::uint32_t kVersionResourceId = 1;     // VS_VERSION_INFO
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
constexpr std::uint32_t kNameFlag = 0x80000000;
// The loader itself refuses more sections than this in older systems; a table
// beyond it is not a file anyone runs, and the cap bounds what one file can cost.
constexpr std::size_t kMaxSections = 1024;
// A directory with more entries is read only this far: the version type and
// its first entries always come early in real files.
constexpr std::size_t kMaxDirectoryEntries = 4096;

struct Section {
  std::uint32_t virtual_address = 0;
  std::uint32_t virtual_size = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_offset = 0;
};

// Where an RVA lies in the file, how many bytes of its section follow it
// there, and how many zero bytes the loader maps after those.
struct FileRegion {
  std::uint64_t offset = 0;
  std::uint64_t available = 0;
  std::uint64_t zeros = 0;
};

struct DirectoryEntry {
  std::uint32_t name = 0;
  std::uint32_t offset = 0;
  bool IsId() const { return (name & kNameFlag) == 0; }
  bool IsSubdirectory() const { return (offset & kSubdirectoryFlag) != 0; }
  std::uint32_t Target() const { return offset & ~kSubdirectoryFlag; }
};

class PeFile {
 public:
  PeFile(PositionedReader& file, std::uint16_t user_language)
      : file_(file), user_language_(user_language) {}

  std::vector<std::uint8_t> VersionResource();

 private:
  std::optional<std::uint32_t> ResourceDirectoryRva();
  bool ReadSections(std::uint64_t table_offset, std::size_t count);
  std::optional<FileRegion> Locate(std::uint32_t rva) const;
  std::optional<std::vector<DirectoryEntry>> ReadDirectory(std::uint32_t relative_offset);
  std::optional<DirectoryEntry> FindSubdirectory(std::uint32_t relative_offset,
                                                 std::optional<std::uint32_t> id);

  static const DirectoryEntry* ChooseLanguage(const std::vector<DirectoryEntry>& languages,
                                              std::uint16_t user_language);

  PositionedReader& file_;
  std::uint16_t user_language_;
  std::vector<Section> sections_;
  FileRegion tree_;  // the resource tree: every offset inside it is relative to its start
};

std::vector<std::uint8_t> PeFile::VersionResource() {
  const auto tree_rva = ResourceDirectoryRva();
  if (!tree_rva) return {};
  const auto tree = Locate(*tree_rva);
  if (!tree) return {};
  tree_ = *tree;

  const auto type = FindSubdirectory(0, kResourceTypeVersion);
  if (!type) return {};
  auto name = FindSubdirectory(type->Target(), kVersionResourceId);
  if (!name) name = FindSubdirectory(type->Target(), std::nullopt);
  if (!name) return {};
  const auto languages = ReadDirectory(name->Target());
  if (!languages) return {};
  const DirectoryEntry* language = ChooseLanguage(*languages, user_language_);
  if (!language || language->IsSubdirectory()) return {};

  // IMAGE_RESOURCE_DATA_ENTRY: the data's RVA and size.
  const std::uint32_t leaf = language->Target();
  std::array<std::uint8_t, 8> data_entry{};
  if (leaf > tree_.available || tree_.available - leaf < data_entry.size()) return {};
  if (!file_.ReadAt(tree_.offset + leaf, data_entry.data(), data_entry.size())) return {};
  const std::uint32_t data_rva = ReadU32(&data_entry[0]);
  const std::uint32_t data_size = ReadU32(&data_entry[4]);
  if (data_size == 0 || data_size > kMaxVersionBlockSize) return {};
  const auto data = Locate(data_rva);
  if (!data || data->available + data->zeros < data_size) return {};

  // What the file does not hold of it, the loader maps as zeros.
  std::vector<std::uint8_t> block(data_size, 0);
  const auto from_file = static_cast<std::size_t>(std::min<std::uint64_t>(data->available, data_size));
  if (from_file > 0 && !file_.ReadAt(data->offset, block.data(), from_file)) return {};
  return block;
}

const DirectoryEntry* PeFile::ChooseLanguage(const std::vector<DirectoryEntry>& languages,
                                             std::uint16_t user_language) {
  const std::uint32_t order[] = {0x0000, 0x0400, user_language, user_language & 0x3FFu, 0x0409};
  for (const std::uint32_t wanted : order) {
    for (const DirectoryEntry& entry : languages)
      if (entry.IsId() && entry.name == wanted) return &entry;
  }
  return languages.empty() ? nullptr : &languages.front();
}

std::optional<std::uint32_t> PeFile::ResourceDirectoryRva() {
  std::array<std::uint8_t, 64> dos{};
  if (!file_.ReadAt(0, dos.data(), dos.size()) || dos[0] != 'M' || dos[1] != 'Z') return {};
  const std::uint32_t pe_offset = ReadU32(&dos[0x3C]);

  // Signature, then the COFF header.
  std::array<std::uint8_t, 24> coff{};
  if (!file_.ReadAt(pe_offset, coff.data(), coff.size())) return {};
  if (coff[0] != 'P' || coff[1] != 'E' || coff[2] != 0 || coff[3] != 0) return {};
  const std::uint16_t section_count = ReadU16(&coff[6]);
  const std::uint16_t optional_size = ReadU16(&coff[20]);

  // The optional header up to the resource entry of its data directories.
  std::array<std::uint8_t, 136> optional{};
  const std::size_t readable = std::min<std::size_t>(optional_size, optional.size());
  if (!file_.ReadAt(pe_offset + 24ull, optional.data(), readable) || readable < 2) return {};
  std::size_t directory_count_at = 0;
  switch (ReadU16(&optional[0])) {
    case 0x10B: directory_count_at = 92; break;   // PE32
    case 0x20B: directory_count_at = 108; break;  // PE32+
    default: return {};
  }
  const std::size_t resource_entry_at = directory_count_at + 4 + 2 * 8;
  if (readable < resource_entry_at + 8) return {};
  if (ReadU32(&optional[directory_count_at]) <= 2) return {};
  const std::uint32_t rva = ReadU32(&optional[resource_entry_at]);
  if (rva == 0) return {};

  if (!ReadSections(pe_offset + 24ull + optional_size, section_count)) return {};
  return rva;
}

bool PeFile::ReadSections(std::uint64_t table_offset, std::size_t count) {
  count = std::min(count, kMaxSections);
  std::vector<std::uint8_t> table(count * 40);
  if (!file_.ReadAt(table_offset, table.data(), table.size())) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* header = &table[i * 40];
    sections_.push_back({ReadU32(header + 12), ReadU32(header + 8), ReadU32(header + 16),
                         ReadU32(header + 20)});
  }
  return true;
}

// As the loader maps the file: a section spans its raw data, and its virtual
// size where that is larger, the part past the raw data being zeros. Raw data
// wins over another section's zeros, so a virtual size that overlaps later
// sections (the loader refuses such a file) changes nothing that reads today.
std::optional<FileRegion> PeFile::Locate(std::uint32_t rva) const {
  const std::uint64_t file_size = file_.Size();
  for (const Section& s : sections_) {
    if (rva < s.virtual_address || rva - s.virtual_address >= s.raw_size) continue;
    const std::uint64_t into = rva - s.virtual_address;
    const std::uint64_t offset = s.raw_offset + into;
    if (offset >= file_size) return std::nullopt;
    const std::uint64_t raw_left = s.raw_size - into;
    // A file cut short of its raw data holds no zeros beyond it.
    if (file_size - offset < raw_left) return FileRegion{offset, file_size - offset, 0};
    return FileRegion{offset, raw_left, std::max(s.virtual_size, s.raw_size) - s.raw_size};
  }
  for (const Section& s : sections_) {
    if (rva < s.virtual_address || rva - s.virtual_address >= s.virtual_size) continue;
    return FileRegion{0, 0, s.virtual_size - (rva - s.virtual_address)};
  }
  return std::nullopt;
}

std::optional<std::vector<DirectoryEntry>> PeFile::ReadDirectory(std::uint32_t relative_offset) {
  std::array<std::uint8_t, 16> header{};
  if (relative_offset > tree_.available || tree_.available - relative_offset < header.size())
    return std::nullopt;
  if (!file_.ReadAt(tree_.offset + relative_offset, header.data(), header.size()))
    return std::nullopt;
  std::size_t count = std::size_t{ReadU16(&header[12])} + ReadU16(&header[14]);
  count = std::min(count, kMaxDirectoryEntries);
  const std::uint64_t entries_at = std::uint64_t{relative_offset} + header.size();
  const std::uint64_t room = (tree_.available - entries_at) / 8;
  count = std::min<std::uint64_t>(count, room);

  std::vector<std::uint8_t> raw(count * 8);
  if (!file_.ReadAt(tree_.offset + entries_at, raw.data(), raw.size())) return std::nullopt;
  std::vector<DirectoryEntry> entries(count);
  for (std::size_t i = 0; i < count; ++i)
    entries[i] = {ReadU32(&raw[i * 8]), ReadU32(&raw[i * 8 + 4])};
  return entries;
}

// The entry with that id (or the first entry, without one), when it leads to a
// further directory.
std::optional<DirectoryEntry> PeFile::FindSubdirectory(std::uint32_t relative_offset,
                                                       std::optional<std::uint32_t> id) {
  const auto entries = ReadDirectory(relative_offset);
  if (!entries) return std::nullopt;
  for (const DirectoryEntry& entry : *entries) {
    if (id && !(entry.IsId() && entry.name == *id)) continue;
    if (!entry.IsSubdirectory()) return std::nullopt;
    return entry;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> ReadVersionResource(PositionedReader& file, std::uint16_t user_language) {
  return PeFile(file, user_language).VersionResource();
}

}  // namespace proclens::pe
