#include "platform/linux/origins/package_files.h"

#include <algorithm>
#include <utility>

#include "platform/linux/desktop/desktop_entry.h"
#include "platform/linux/base/whole_file.h"
#include "platform/linux/base/text.h"

namespace proclens::linux_port {
namespace {


}  // namespace

std::vector<MetainfoTexts> ReadMetainfo(std::vector<std::string> files, const std::string& root, bool german) {
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return std::pair(BaseName(a), std::string_view(a)) < std::pair(BaseName(b), std::string_view(b));
  });
  std::vector<MetainfoTexts> metainfo;
  for (const std::string& file : files) {
    if (file.empty() || file.front() != '/') continue;
    const auto xml = ReadWholeFile(root + file.substr(1), kApplicationFileLimit);
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

void OverlayMetainfo(OriginTexts& texts, const MetainfoTexts& metainfo) {
  if (!metainfo.summary.empty()) texts.description = metainfo.summary;
  if (!metainfo.name.empty()) texts.product = metainfo.name;
  if (!metainfo.developer.empty()) texts.company = metainfo.developer;
}

std::string MaintainerName(std::string_view maintainer) {
  return std::string(Trim(maintainer.substr(0, maintainer.find('<'))));
}

std::optional<std::string> FirstEntryIcon(std::vector<std::string> entries, const std::string& root) {
  std::sort(entries.begin(), entries.end());
  for (const std::string& entry : entries) {
    if (entry.empty() || entry.front() != '/') continue;
    if (auto read = ReadDesktopEntry(root + entry.substr(1))) return std::move(read->icon);
  }
  return std::nullopt;
}

}  // namespace proclens::linux_port
