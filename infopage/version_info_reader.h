#pragma once
// The three texts of a file's version information that the offline page shows:
// description, product and company.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system_info.h"
#include "platform/version_ops.h"

namespace proclens {

struct VersionPlatform {
  VersionOps& versions;
  SystemInfo& system;
};

struct VersionTexts {
  bool ok = false;  // the platform delivered a version block
  std::string description;
  std::string product;
  std::string company;
};

inline constexpr char kTranslationPath[] = "\\VarFileInfo\\Translation";

// The file's block read once and asked for FileDescription, ProductName and
// CompanyName. Nothing that goes wrong reaches the caller: a file without a
// block, or any error on the way, gives ok false and three empty texts.
VersionTexts ReadVersionInfo(const std::string& file_name, VersionPlatform platform);

// One key, looked up in the string tables of the user's language (code page
// 1252, then 1200), U.S. English 1252, then the first translation entry; the
// raw scan only when the block has no translation table at all.
std::string QueryVersionString(const std::uint8_t* block, std::size_t block_size,
                               const std::string& key, VersionPlatform platform);

// "StringFileInfo\" + language and code page as eight upper-case hex digits
// + "\" + key + "\".
std::string StringPath(std::uint16_t language, std::uint16_t code_page, const std::string& key);

}  // namespace proclens
