#pragma once
// A version platform over in-memory files: the block queries are the real
// portable ones, every query path is recorded, and the user's language can be
// changed from one request to the next.

#include <cstring>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/pe/version_block.h"
#include "fakes/fake_system_info.h"
#include "platform/system_info.h"
#include "platform/version_ops.h"

namespace proclens::testing {

class FakeVersionPlatform : public VersionOps, public fakes::FakeSystemInfo {
 public:
  std::map<std::string, std::vector<std::uint8_t>> blocks;  // version block per file name
  std::vector<std::string> queried_paths;
  bool fill_fails = false;
  int throw_at_query = 0;  // the query (counted from 1) that raises an error; 0 never

  std::uint32_t GetFileVersionInfoSize(const std::string& file_name, std::uint32_t& handle) override {
    handle = 0;
    const auto found = blocks.find(file_name);
    return found == blocks.end() ? 0 : static_cast<std::uint32_t>(found->second.size());
  }
  bool GetFileVersionInfo(const std::string& file_name, std::uint32_t, std::uint32_t size,
                          std::uint8_t* buffer) override {
    const auto found = blocks.find(file_name);
    if (fill_fails || found == blocks.end() || size < found->second.size()) return false;
    std::memcpy(buffer, found->second.data(), found->second.size());
    return true;
  }
  bool VerQueryValue(const std::uint8_t* block, std::size_t block_size, const std::string& path,
                     VersionValue& value) override {
    queried_paths.push_back(path);
    if (static_cast<int>(queried_paths.size()) == throw_at_query) throw std::runtime_error("query failed");
    return query_.VerQueryValue(block, block_size, path, value);
  }


 private:
  pe::BlockQuery query_;
};

}  // namespace proclens::testing
