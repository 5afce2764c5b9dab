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

inline std::vector<std::uint8_t> BuildPe(const std::vector<std::uint8_t>& block, bool pe32_plus,
                                         std::uint16_t resource_id = 1) {
  using L = PeLayout;
  const std::uint32_t tree_size = L::kData + static_cast<std::uint32_t>(block.size());
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
  PokeDirectory(out, t + L::kNameDirectory, 0x409, L::kDataEntry);
  PokeU32(out, t + L::kDataEntry, L::kSectionVa + L::kData);
  PokeU32(out, t + L::kDataEntry + 4, static_cast<std::uint32_t>(block.size()));
  std::memcpy(&out[t + L::kData], block.data(), block.size());
  return out;
}

}  // namespace proclens::testing
