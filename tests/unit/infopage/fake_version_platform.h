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
#include "platform/system_info.h"
#include "platform/version_ops.h"

namespace proclens::testing {

class FakeVersionPlatform : public VersionOps, public SystemInfo {
 public:
  std::map<std::string, std::vector<std::uint8_t>> blocks;  // version block per file name
  std::deque<std::uint16_t> lang_ids{0x0409};  // one per request; the last one stays
  std::vector<std::string> queried_paths;
  int language_requests = 0;
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

  const PlatformTraits& Traits() override { return traits_; }
  std::optional<std::string> SystemDirectory() override { return std::nullopt; }
  std::optional<std::string> WindowsDirectory() override { return std::nullopt; }
  std::uint16_t UserDefaultLangId() override {
    ++language_requests;
    const std::uint16_t id = lang_ids.front();
    if (lang_ids.size() > 1) lang_ids.pop_front();
    return id;
  }
  std::string UpperCase(std::string text) override { return text; }

 private:
  pe::BlockQuery query_;
  PlatformTraits traits_ = WindowsTraits(kPlatformWin32Nt);
};

}  // namespace proclens::testing
