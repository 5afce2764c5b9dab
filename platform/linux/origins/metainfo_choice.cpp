#include "platform/linux/origins/metainfo_choice.h"

#include <algorithm>
#include <utility>

#include "platform/linux/dpkg_file_index.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kMetainfoLimit = 4u << 20;

std::string_view BaseName(std::string_view path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

std::vector<MetainfoTexts> ReadMetainfo(std::vector<std::string> files, const std::string& root, bool german) {
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return std::pair(BaseName(a), std::string_view(a)) < std::pair(BaseName(b), std::string_view(b));
  });
  std::vector<MetainfoTexts> metainfo;
  for (const std::string& file : files) {
    if (file.empty() || file.front() != '/') continue;
    const auto xml = ReadWholeFile(root + file.substr(1), kMetainfoLimit);
    if (!xml) continue;
    if (auto texts = ParseMetainfo(*xml, german)) metainfo.push_back(std::move(*texts));
  }
  return metainfo;
}

const MetainfoTexts* ChooseMetainfo(const std::vector<MetainfoTexts>& metainfo, std::string_view program) {
  for (const MetainfoTexts& texts : metainfo) {
    if (std::find(texts.binaries.begin(), texts.binaries.end(), program) != texts.binaries.end()) return &texts;
  }
  return metainfo.empty() ? nullptr : &metainfo.front();
}

}  // namespace proclens::linux_port
