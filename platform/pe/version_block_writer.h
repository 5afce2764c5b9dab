#pragma once
// A version block (the VS_VERSIONINFO layout of a PE version resource) made
// from texts, so that the version queries answer for a program without one
// exactly as they do for a Windows program: the reader's counterpart.

#include <cstdint>
#include <string>
#include <vector>

namespace proclens::pe {

struct VersionStrings {
  std::string description;  // FileDescription
  std::string product;      // ProductName
  std::string company;      // CompanyName
};

// One string table in the language given, code page 1200 (UTF-16), and a
// translation entry that names it. Empty texts are left out of the table;
// texts too long for it are cut where a character begins. Texts are UTF-8.
std::vector<std::uint8_t> WriteVersionBlock(const VersionStrings& strings, std::uint16_t language);

}  // namespace proclens::pe
