// The PE reader and the block queries on arbitrary bytes: first as a whole
// file, then the same bytes taken as a version block of their own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "infopage/version_info_reader.h"
#include "platform/pe/pe_version_resource.h"
#include "platform/pe/version_block.h"
#include "platform/system_info.h"
#include "tests/fakes/fake_system_info.h"

namespace {

// German: the reader then asks for a translation before the English one.
class FuzzSystemInfo : public proclens::fakes::FakeSystemInfo {
 public:
  FuzzSystemInfo() { lang_id = 0x0407; }
};

class BlockOnlyOps : public proclens::VersionOps {
 public:
  std::uint32_t GetFileVersionInfoSize(const std::string&, std::uint32_t&) override { return 0; }
  bool GetFileVersionInfo(const std::string&, std::uint32_t, std::uint32_t, std::uint8_t*) override {
    return false;
  }
  bool VerQueryValue(const std::uint8_t* block, std::size_t size, const std::string& path,
                     proclens::VersionValue& value) override {
    const bool found = query_.VerQueryValue(block, size, path, value);
    // Touch every byte handed out, so that the sanitizer sees any over-read.
    volatile std::uint8_t sink = 0;
    if (found && value.text) for (const char* p = value.text; *p; ++p) sink = sink ^ *p;
    if (found) for (std::uint32_t i = 0; i < value.length; ++i) sink = sink ^ value.data[i];
    return found;
  }

 private:
  proclens::pe::BlockQuery query_;
};

void QueryEverything(const std::vector<std::uint8_t>& block) {
  FuzzSystemInfo system;
  BlockOnlyOps ops;
  const proclens::VersionPlatform platform{ops, system};
  for (const char* key : {"FileDescription", "ProductName", "CompanyName"})
    proclens::QueryVersionString(block.data(), block.size(), key, platform);
  proclens::VersionValue value;
  ops.VerQueryValue(block.data(), block.size(), "\\", value);
  ops.VerQueryValue(block.data(), block.size(), "\\StringFileInfo\\\\040904b0\\\\", value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  proclens::pe::MemoryReader file(data, size);
  const std::vector<std::uint8_t> resource = proclens::pe::ReadVersionResource(file);
  if (!resource.empty()) QueryEverything(resource);
  // An exact-size copy, so that reading one byte past the block is caught.
  QueryEverything(std::vector<std::uint8_t>(data, data + size));
  return 0;
}
