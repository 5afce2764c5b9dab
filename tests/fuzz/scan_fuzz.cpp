// The raw scan on arbitrary blocks: the first byte gives the key's length, the
// key follows, the rest is the block.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "infopage/version_block_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t key_length = std::min<std::size_t>(data[0] % 24, size - 1);
  const std::string key(reinterpret_cast<const char*>(data + 1), key_length);
  // An exact-size copy, so that reading one byte past the block is caught.
  const std::vector<std::uint8_t> block(data + 1 + key_length, data + size);
  const std::string text = proclens::ScanVersionBlock(key, block.data(), block.size());
  if (text.size() > block.size()) __builtin_trap();
  if (text.find(proclens::kScanSeparator) != std::string::npos) __builtin_trap();
  return 0;
}
