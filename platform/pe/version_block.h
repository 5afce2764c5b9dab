#pragma once
// Path queries into a VS_VERSIONINFO block, the way the platform's version
// query answers them, bounded by the block's real size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/version_ops.h"

namespace proclens::pe {

struct BlockValue {
  bool is_text = false;
  std::string text;               // the value as UTF-8 text, when is_text
  std::size_t data_offset = 0;    // the value's bytes in the block
  std::uint32_t data_length = 0;  // as far as they lie inside their node
};

// The value at a backslash-separated path: components matched without regard
// to case, empty components skipped, no component at all naming the root.
std::optional<BlockValue> QueryBlock(const std::uint8_t* block, std::size_t block_size,
                                     std::string_view path);

// VerQueryValue over QueryBlock: keeps the text it hands out until the next query.
class BlockQuery {
 public:
  bool VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& path,
                     VersionValue& value);

 private:
  std::string text_;
};

}  // namespace proclens::pe
