// Writes the seed files under seeds/ (run once by hand from the repository root):
//   g++ -std=c++20 -I. -Itests tests/fuzz/make_seeds.cpp -o /tmp/make_seeds && /tmp/make_seeds tests/fuzz/seeds
// seeds/pe_version/mingw64.exe is a 64-bit MinGW build of an empty program with
// a version resource, kept as a file from a real linker.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "unit/infopage/version_block_builder.h"
#include "unit/platform/pe/pe_image_builder.h"

namespace {

using namespace proclens::testing;

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> FullBlock() {
  return Serialize(VersionRoot({
      StringFileInfo({StringTable(u"040904b0", {{u"FileDescription", u"Seed tool \u00e4\U0001F600"},
                                                {u"ProductName", u"Seed"},
                                                {u"CompanyName", u"Seed Co"}}),
                      StringTable(u"040704E4", {{u"CompanyName", u"Saat"}})}),
      VarFileInfo({{0x409, 0x4B0}, {0x407, 0x4E4}})}));
}

std::vector<std::uint8_t> BlockWithoutTranslation() {
  return Serialize(VersionRoot({StringFileInfo(
      {StringTable(u"041104B0", {{u"FileDescription", u"Scan me"}, {u"CompanyName", u"Scanned"}})})}));
}

std::vector<std::uint8_t> WithKey(const std::string& key, std::vector<std::uint8_t> block) {
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(key.size())};
  out.insert(out.end(), key.begin(), key.end());
  out.insert(out.end(), block.begin(), block.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: make_seeds DIR\n"), 1;
  const std::string dir = argv[1];
  Write(dir + "/pe_version/pe32.dll", BuildPe(FullBlock(), false));
  Write(dir + "/pe_version/pe32plus_scan.dll", BuildPe(BlockWithoutTranslation(), true));
  Write(dir + "/pe_version/block.bin", FullBlock());
  Write(dir + "/scan/key_utf16.bin",
        WithKey("Key", {0, 0, 0x4B, 0, 0x65, 0, 0x79, 0, 0, 0, 0x56, 0, 0x61, 0, 0x6C, 0, 0, 0}));
  Write(dir + "/scan/key_narrow.bin", WithKey("Key", {0, 0, 0x4B, 0x65, 0x79, 0x58, 0x56, 0x61, 0x6C, 0, 0, 0}));
  Write(dir + "/scan/block.bin", WithKey("CompanyName", BlockWithoutTranslation()));
  return 0;
}
