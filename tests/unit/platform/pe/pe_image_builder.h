#pragma once
// A minimal PE file around a version block: headers, one .rsrc section and a
// three-level resource tree, at fixed places that tests can damage on purpose.

#include <cstdint>
#include <cstring>
#include <vector>

namespace proclens::testing {

struct PeLayout {
  static constexpr std::uint32_t kPeOffset = 0x40;
  static constexpr std::uint32_t kOptionalOffset = kPeOffset + 24;
  static constexpr std::uint32_t kSectionVa = 0x1000;
  static constexpr std::uint32_t kResourceRaw = 0x200;  // file offset of the tree
  // Offsets inside the tree.
  static constexpr std::uint32_t kTypeDirectory = 24;
  static constexpr std::uint32_t kNameDirectory = 48;
  static constexpr std::uint32_t kDataEntry = 72;
  static constexpr std::uint32_t kData = 88;
  static std::uint32_t OptionalSize(bool pe32_plus) { return pe32_plus ? 240 : 224; }
  static std::uint32_t SectionTable(bool pe32_plus) { return kOptionalOffset + OptionalSize(pe32_plus); }
};

inline void PokeU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PokeU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A resource directory with one ID entry at `at` (tree offsets).
inline void PokeDirectory(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t id,
                          std::uint32_t target) {
  PokeU16(out, at + 14, 1);  // one ID entry, no named ones
  PokeU32(out, at + 16, id);
  PokeU32(out, at + 20, target);
}

struct LanguageBlock {
  std::uint16_t language = 0x409;
  std::vector<std::uint8_t> block;
};

// One version resource in each of the given languages; with one language the
// tree has the fixed layout of PeLayout.
inline std::vector<std::uint8_t> BuildPe(const std::vector<LanguageBlock>& languages, bool pe32_plus,
                                         std::uint16_t resource_id = 1) {
  using L = PeLayout;
  const auto count = static_cast<std::uint32_t>(languages.size());
  const std::uint32_t data_entries = L::kNameDirectory + 16 + 8 * count;
  std::uint32_t tree_size = data_entries + 16 * count;
  std::vector<std::uint32_t> data_at;
  for (const LanguageBlock& l : languages) {
    data_at.push_back(tree_size);
    tree_size += (static_cast<std::uint32_t>(l.block.size()) + 3) & ~3u;
  }
  const std::uint32_t raw_size = (tree_size + 0x1FF) & ~0x1FFu;
  std::vector<std::uint8_t> out(L::kResourceRaw + raw_size, 0);
  out[0] = 'M'; out[1] = 'Z';
  PokeU32(out, 0x3C, L::kPeOffset);
  std::memcpy(&out[L::kPeOffset], "PE\0\0", 4);
  PokeU16(out, L::kPeOffset + 4, pe32_plus ? 0x8664 : 0x14C);
  PokeU16(out, L::kPeOffset + 6, 1);  // one section
  PokeU16(out, L::kPeOffset + 20, static_cast<std::uint16_t>(L::OptionalSize(pe32_plus)));
  PokeU16(out, L::kPeOffset + 22, 0x2102);  // executable DLL

  const std::uint32_t o = L::kOptionalOffset;
  PokeU16(out, o, pe32_plus ? 0x20B : 0x10B);
  const std::uint32_t directories = pe32_plus ? 112 : 96;
  PokeU32(out, o + directories - 4, 16);  // NumberOfRvaAndSizes
  PokeU32(out, o + directories + 16, L::kSectionVa);
  PokeU32(out, o + directories + 20, tree_size);

  const std::uint32_t s = L::SectionTable(pe32_plus);
  std::memcpy(&out[s], ".rsrc", 5);
  PokeU32(out, s + 8, tree_size);
  PokeU32(out, s + 12, L::kSectionVa);
  PokeU32(out, s + 16, raw_size);
  PokeU32(out, s + 20, L::kResourceRaw);

  const std::uint32_t t = L::kResourceRaw;
  PokeDirectory(out, t, 16, 0x80000000u | L::kTypeDirectory);
  PokeDirectory(out, t + L::kTypeDirectory, resource_id, 0x80000000u | L::kNameDirectory);
  PokeU16(out, t + L::kNameDirectory + 14, static_cast<std::uint16_t>(count));
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t entry = data_entries + 16 * i;
    PokeU32(out, t + L::kNameDirectory + 16 + 8 * i, languages[i].language);
    PokeU32(out, t + L::kNameDirectory + 20 + 8 * i, entry);
    PokeU32(out, t + entry, L::kSectionVa + data_at[i]);
    PokeU32(out, t + entry + 4, static_cast<std::uint32_t>(languages[i].block.size()));
    std::memcpy(&out[t + data_at[i]], languages[i].block.data(), languages[i].block.size());
  }
  return out;
}

inline std::vector<std::uint8_t> BuildPe(const std::vector<std::uint8_t>& block, bool pe32_plus,
                                         std::uint16_t resource_id = 1) {
  return BuildPe(std::vector<LanguageBlock>{{0x409, block}}, pe32_plus, resource_id);
}

// A PE file whose last section keeps only raw_size bytes of raw data, the
// file ending there, as a linker writes a section whose tail is zeros: its
// virtual size still covers the rest, unless a virtual_size other than 0 is
// given. Empty when that section is not the last in the file or not that large.
inline std::vector<std::uint8_t> CutLastSectionRawData(std::vector<std::uint8_t> file,
                                                        std::uint32_t raw_size,
                                                        std::uint32_t virtual_size = 0) {
  const auto u16 = [&file](std::size_t at) { return static_cast<std::uint16_t>(file[at] | file[at + 1] << 8); };
  const auto u32 = [&file, &u16](std::size_t at) { return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16; };
  if (file.size() < 0x40) return {};
  const std::uint32_t pe = u32(0x3C);
  if (file.size() < pe + 24ull) return {};
  const std::size_t count = u16(pe + 6);
  const std::size_t table = pe + 24ull + u16(pe + 20);
  if (count == 0 || file.size() < table + 40 * count) return {};
  const std::size_t last = table + 40 * (count - 1);
  const std::uint32_t raw_offset = u32(last + 20);
  if (u32(last + 16) <= raw_size || file.size() != raw_offset + std::size_t{u32(last + 16)}) return {};
  PokeU32(file, last + 16, raw_size);
  if (virtual_size != 0) PokeU32(file, last + 8, virtual_size);
  file.resize(raw_offset + raw_size);
  return file;
}

}  // namespace proclens::testing
