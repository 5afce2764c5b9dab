#include "platform/pe/version_block.h"

#include <algorithm>
#include <vector>

#include "platform/pe/little_endian.h"
#include "platform/pe/utf16_text.h"

namespace proclens::pe {
namespace {

constexpr std::size_t kNodeHeaderSize = 6;  // wLength, wValueLength, wType
constexpr std::uint16_t kTextType = 1;

// Fields are 32-bit aligned from the start of the block.
std::size_t AlignFour(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// One node of the block, every position clamped to the node's end, which in
// turn never passes its parent's end.
struct Node {
  std::size_t offset = 0;
  std::size_t end = 0;
  std::size_t key_end = 0;  // after the key's last unit, before its terminator
  std::size_t value_offset = 0;
  std::size_t value_end = 0;
  std::size_t children = 0;
  std::uint16_t value_length = 0;
  std::uint16_t type = 0;
};

std::optional<Node> ReadNode(const std::uint8_t* block, std::size_t offset, std::size_t limit) {
  if (offset > limit || limit - offset < kNodeHeaderSize) return std::nullopt;
  const std::uint16_t length = ReadU16(block + offset);
  if (length < kNodeHeaderSize) return std::nullopt;
  Node node;
  node.offset = offset;
  node.end = std::min(offset + length, limit);
  node.value_length = ReadU16(block + offset + 2);
  node.type = ReadU16(block + offset + 4);

  std::size_t at = offset + kNodeHeaderSize;
  while (at + 2 <= node.end && ReadU16(block + at) != 0) at += 2;
  node.key_end = std::min(at, node.end);
  const bool terminated = at + 2 <= node.end;
  node.value_offset = terminated ? std::min(AlignFour(at + 2), node.end) : node.end;
  const std::size_t value_bytes = std::size_t{node.value_length} * (node.type == kTextType ? 2 : 1);
  node.value_end = std::min(node.value_offset + value_bytes, node.end);
  node.children = std::min(AlignFour(node.value_offset + value_bytes), node.end);
  return node;
}

char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  return c;
}

// Path components are narrow; only ASCII ever names a node, so each byte stands
// for the unit of the same value.
bool KeyMatches(const std::uint8_t* block, const Node& node, std::string_view component) {
  const std::size_t units = (node.key_end - node.offset - kNodeHeaderSize) / 2;
  if (units != component.size()) return false;
  for (std::size_t i = 0; i < units; ++i) {
    const auto unit = static_cast<char16_t>(ReadU16(block + node.offset + kNodeHeaderSize + 2 * i));
    const auto wanted = static_cast<char16_t>(static_cast<unsigned char>(component[i]));
    if (FoldCase(unit) != FoldCase(wanted)) return false;
  }
  return true;
}

std::optional<Node> FindChild(const std::uint8_t* block, const Node& parent,
                              std::string_view component) {
  std::size_t at = parent.children;
  while (auto child = ReadNode(block, at, parent.end)) {
    if (KeyMatches(block, *child, component)) return child;
    // Every node is at least a header long, so the walk always moves on.
    at = AlignFour(child->offset + ReadU16(block + child->offset));
  }
  return std::nullopt;
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> components;
  while (!path.empty()) {
    const std::size_t cut = path.find('\\');
    const std::string_view component = path.substr(0, cut);
    if (!component.empty()) components.push_back(component);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return components;
}

bool IsStringFileInfo(std::string_view component) {
  constexpr std::string_view kName = "StringFileInfo";
  return std::equal(component.begin(), component.end(), kName.begin(), kName.end(),
                    [](char a, char b) { return FoldCase(static_cast<unsigned char>(a)) ==
                                                FoldCase(static_cast<unsigned char>(b)); });
}

}  // namespace

std::optional<BlockValue> QueryBlock(const std::uint8_t* block, std::size_t block_size,
                                     std::string_view path) {
  auto node = ReadNode(block, 0, block_size);
  if (!node) return std::nullopt;
  const auto components = SplitPath(path);
  for (const std::string_view component : components) {
    node = FindChild(block, *node, component);
    if (!node) return std::nullopt;
  }

  BlockValue value;
  value.data_offset = node->value_offset;
  value.data_length = static_cast<std::uint32_t>(node->value_end - node->value_offset);
  // Some resource compilers mark string values as binary; under StringFileInfo
  // every value is text whatever its type says.
  value.is_text = node->type == kTextType || (!components.empty() && IsStringFileInfo(components[0]));
  // The value's length often counts bytes instead of characters, so the text
  // runs to its terminator inside the node; a zero length means no text at all.
  if (value.is_text && node->value_length != 0)
    value.text = Utf16LeToUtf8(block + node->value_offset, node->end - node->value_offset);
  return value;
}

bool BlockQuery::VerQueryValue(const std::uint8_t* block, std::size_t block_size,
                               const std::string& path, VersionValue& value) {
  auto found = QueryBlock(block, block_size, path);
  if (!found) return false;
  text_ = std::move(found->text);
  value.text = found->is_text ? text_.c_str() : nullptr;
  value.data = block + found->data_offset;
  value.length = found->data_length;
  return true;
}

}  // namespace proclens::pe
