#include "infopage/version_info_reader.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "infopage/version_block_scan.h"

namespace proclens {
namespace {

constexpr std::uint16_t kCodePageWindows1252 = 0x04E4;
constexpr std::uint16_t kCodePageUnicode = 0x04B0;
constexpr std::uint16_t kLanguageUsEnglish = 0x0409;

// The text up to its first zero byte, however long: a description cut at 255
// bytes would gain nothing and could end inside a UTF-8 sequence.
std::optional<std::string> QueryText(const std::uint8_t* block, std::size_t block_size,
                                     const std::string& path, VersionOps& ops) {
  VersionValue value;
  if (!ops.VerQueryValue(block, block_size, path, value) || value.text == nullptr) return std::nullopt;
  return std::string(value.text);
}

std::optional<std::string> QueryInUserLanguage(const std::uint8_t* block, std::size_t block_size,
                                               const std::string& key, std::uint16_t code_page,
                                               VersionPlatform platform) {
  const std::uint16_t language = platform.system.UserDefaultLangId();
  return QueryText(block, block_size, StringPath(language, code_page, key), platform.versions);
}

}  // namespace

std::string StringPath(std::uint16_t language, std::uint16_t code_page, const std::string& key) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%04X%04X", unsigned{language}, unsigned{code_page});
  return std::string("StringFileInfo\\") + digits + "\\" + key + "\\";
}

std::string QueryVersionString(const std::uint8_t* block, std::size_t block_size,
                               const std::string& key, VersionPlatform platform) {
  if (auto text = QueryInUserLanguage(block, block_size, key, kCodePageWindows1252, platform))
    return *text;
  if (auto text = QueryInUserLanguage(block, block_size, key, kCodePageUnicode, platform))
    return *text;
  const std::string us_english = StringPath(kLanguageUsEnglish, kCodePageWindows1252, key);
  if (auto text = QueryText(block, block_size, us_english, platform.versions)) return *text;

  VersionValue translation;
  // A table too short to hold one entry names no string table; such a block is
  // treated like one without a table rather than read past the value.
  if (!platform.versions.VerQueryValue(block, block_size, kTranslationPath, translation) ||
      translation.data == nullptr || translation.length < 4)
    return ScanVersionBlock(key, block, block_size);
  const std::uint8_t* entry = translation.data;
  const auto language = static_cast<std::uint16_t>(entry[0] | (entry[1] << 8));
  const auto code_page = static_cast<std::uint16_t>(entry[2] | (entry[3] << 8));
  return QueryText(block, block_size, StringPath(language, code_page, key), platform.versions)
      .value_or(std::string());
}

VersionTexts ReadVersionInfo(const std::string& file_name, VersionPlatform platform) {
  try {
    std::uint32_t handle = 0;
    const std::uint32_t size = platform.versions.GetFileVersionInfoSize(file_name, handle);
    if (size == 0) return {};
    std::vector<std::uint8_t> block(size);  // zero-filled
    if (!platform.versions.GetFileVersionInfo(file_name, handle, size, block.data())) return {};
    VersionTexts texts;
    texts.description = QueryVersionString(block.data(), size, "FileDescription", platform);
    texts.product = QueryVersionString(block.data(), size, "ProductName", platform);
    texts.company = QueryVersionString(block.data(), size, "CompanyName", platform);
    texts.ok = true;
    return texts;
  } catch (...) {
    // Whatever went wrong, the page falls back to its defaults.
    return {};
  }
}

}  // namespace proclens
