#include "platform/linux/versions/package_blocks.h"

#include "platform/pe/version_block_writer.h"

namespace proclens::linux_port {

std::vector<std::uint8_t> PackageBlocks::BlockOf(const std::string& path, std::uint32_t pid) {
  // Packages list the file itself, not the links that lead to it.
  const auto file = ProgramFileAt(path, pid);
  if (!file) return {};
  const std::uint16_t language = system_.UserDefaultLangId();
  const auto texts = origins_.Describe(*file, IsGermanLanguage(language));
  if (!texts) return {};
  return pe::WriteVersionBlock({texts->description, texts->product, texts->company}, language);
}

}  // namespace proclens::linux_port
