#include "platform/pe/version_block_writer.h"

#include <cstdio>
#include <string>

#include "platform/pe/utf16_text.h"

namespace proclens::pe {
namespace {

constexpr std::uint16_t kBinaryType = 0;
constexpr std::uint16_t kTextType = 1;
constexpr std::uint16_t kCodePageUnicode = 0x04B0;
// Node lengths are 16 bits: a text is cut to this many bytes of UTF-8, which
// never make more than as many UTF-16 units. No name is that long anyway.
constexpr std::size_t kLongestText = 4095;

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PadToFour(Bytes& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// UTF-16 units of UTF-8 text, with its terminator.
std::u16string Utf16Of(const std::string& text) {
  std::u16string result = Utf8ToUtf16(text);
  result.push_back(u'\0');
  return result;
}

// One node: length, value length, type, key, then the value and the children,
// each starting on a 32-bit boundary (the node itself starts on one).
Bytes Node(const std::string& key, std::uint16_t type, const Bytes& value, std::uint16_t value_length,
           const Bytes& children) {
  Bytes node;
  PutU16(node, 0);  // the length, filled in at the end
  PutU16(node, value_length);
  PutU16(node, type);
  for (const char16_t unit : Utf16Of(key)) PutU16(node, static_cast<std::uint16_t>(unit));
  PadToFour(node);
  node.insert(node.end(), value.begin(), value.end());
  if (!children.empty()) {
    PadToFour(node);
    node.insert(node.end(), children.begin(), children.end());
  }
  const auto length = static_cast<std::uint16_t>(node.size());
  node[0] = static_cast<std::uint8_t>(length & 0xFF);
  node[1] = static_cast<std::uint8_t>(length >> 8);
  return node;
}

void Append(Bytes& out, const Bytes& node) {
  PadToFour(out);
  out.insert(out.end(), node.begin(), node.end());
}

// The text, cut where a character begins if it is too long for a node: a
// summary that a package made too long is shown shortened rather than not at all.
std::string FittingText(const std::string& text) {
  if (text.size() <= kLongestText) return text;
  std::size_t end = kLongestText;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

Bytes StringNode(const std::string& key, const std::string& text) {
  Bytes value;
  const std::u16string units = Utf16Of(text);
  for (const char16_t unit : units) PutU16(value, static_cast<std::uint16_t>(unit));
  return Node(key, kTextType, value, static_cast<std::uint16_t>(units.size()), {});
}

}  // namespace

std::vector<std::uint8_t> WriteVersionBlock(const VersionStrings& texts, std::uint16_t language) {
  Bytes strings;
  const std::pair<const char*, const std::string*> entries[] = {
      {"FileDescription", &texts.description}, {"ProductName", &texts.product}, {"CompanyName", &texts.company}};
  for (const auto& [key, text] : entries) {
    if (!text->empty()) Append(strings, StringNode(key, FittingText(*text)));
  }
  char table_name[9];
  std::snprintf(table_name, sizeof table_name, "%04X%04X", unsigned{language}, unsigned{kCodePageUnicode});
  const Bytes table = Node(table_name, kTextType, {}, 0, strings);
  const Bytes string_file_info = Node("StringFileInfo", kTextType, {}, 0, table);

  Bytes translation;
  PutU16(translation, language);
  PutU16(translation, kCodePageUnicode);
  const Bytes var = Node("Translation", kBinaryType, translation, 4, {});
  const Bytes var_file_info = Node("VarFileInfo", kTextType, {}, 0, var);

  Bytes children = string_file_info;
  Append(children, var_file_info);
  return Node("VS_VERSION_INFO", kBinaryType, {}, 0, children);
}

}  // namespace proclens::pe
