#pragma once
// Builds VS_VERSIONINFO blocks the way resource compilers lay them out, so that
// tests can say which string tables and translations a block holds.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace proclens::testing {

struct VersionNode {
  std::u16string key;
  std::uint16_t type = 0;          // 1 for text values
  std::uint16_t value_length = 0;  // characters for text, bytes otherwise
  std::vector<std::uint8_t> value;
  std::vector<VersionNode> children;
};

inline void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void AlignFour(std::vector<std::uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

inline void AppendNode(std::vector<std::uint8_t>& out, const VersionNode& node) {
  AlignFour(out);
  const std::size_t start = out.size();
  out.resize(start + 6);
  PutU16(out, start + 2, node.value_length);
  PutU16(out, start + 4, node.type);
  for (char16_t c : node.key) AppendU16(out, c);
  AppendU16(out, 0);
  AlignFour(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) AppendNode(out, child);
  PutU16(out, start, static_cast<std::uint16_t>(out.size() - start));
}

inline std::vector<std::uint8_t> Serialize(const VersionNode& root) {
  std::vector<std::uint8_t> out;
  AppendNode(out, root);
  return out;
}

inline std::vector<std::uint8_t> Utf16Bytes(const std::u16string& text, bool terminated = true) {
  std::vector<std::uint8_t> out;
  for (char16_t c : text) AppendU16(out, c);
  if (terminated) AppendU16(out, 0);
  return out;
}

inline VersionNode TextValue(std::u16string key, const std::u16string& text) {
  return {std::move(key), 1, static_cast<std::uint16_t>(text.size() + 1), Utf16Bytes(text), {}};
}

inline VersionNode StringTable(std::u16string name,
                               const std::vector<std::pair<std::u16string, std::u16string>>& values) {
  VersionNode table{std::move(name), 1, 0, {}, {}};
  for (const auto& [key, text] : values) table.children.push_back(TextValue(key, text));
  return table;
}

inline VersionNode StringFileInfo(std::vector<VersionNode> tables) {
  return {u"StringFileInfo", 1, 0, {}, std::move(tables)};
}

// Entries are (language, code page) pairs.
inline VersionNode VarFileInfo(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& entries) {
  VersionNode translation{u"Translation", 0, static_cast<std::uint16_t>(entries.size() * 4), {}, {}};
  for (const auto& [language, code_page] : entries) {
    AppendU16(translation.value, language);
    AppendU16(translation.value, code_page);
  }
  return {u"VarFileInfo", 1, 0, {}, {translation}};
}

// The root with a VS_FIXEDFILEINFO whose signature is right and whose numbers are zero.
inline VersionNode VersionRoot(std::vector<VersionNode> children) {
  VersionNode root{u"VS_VERSION_INFO", 0, 52, std::vector<std::uint8_t>(52, 0), std::move(children)};
  root.value[0] = 0xBD; root.value[1] = 0x04; root.value[2] = 0xEF; root.value[3] = 0xFE;
  return root;
}

}  // namespace proclens::testing
