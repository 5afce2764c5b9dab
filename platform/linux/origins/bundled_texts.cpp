#include "platform/linux/origins/bundled_texts.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "platform/linux/desktop/key_file.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

constexpr char kDesktopGroup[] = "Desktop Entry";

struct CloseDir {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::optional<MetainfoTexts> ReadMetainfoFile(const std::string& path, bool german) {
  const auto xml = ReadWholeFile(path, kApplicationFileLimit);
  if (!xml) return std::nullopt;
  return ParseMetainfo(*xml, german);
}

std::optional<MetainfoTexts> MetainfoInFolder(const std::string& folder, const std::string& program,
                                              bool german) {
  std::vector<std::string> files;
  for (const std::string& name : NamesInFolder(folder, ".xml")) files.push_back(folder + "/" + name);
  // The folder is a path on this system, not below a package root.
  const std::vector<MetainfoTexts> metainfo = ReadMetainfo(std::move(files), "/", german);
  const MetainfoTexts* chosen = ChooseMetainfo(metainfo, program);
  if (chosen == nullptr) return std::nullopt;
  return *chosen;
}

std::optional<DesktopTexts> ReadDesktopTexts(const std::string& path, bool german) {
  const auto bytes = ReadWholeFile(path, kApplicationFileLimit);
  if (!bytes) return std::nullopt;
  const auto keys = KeyFile::Parse(*bytes);
  if (!keys || keys->Get(kDesktopGroup, "Type") != "Application") return std::nullopt;
  DesktopTexts texts;
  texts.name = keys->GetLocalized(kDesktopGroup, "Name", german);
  texts.comment = keys->GetLocalized(kDesktopGroup, "Comment", german);
  texts.icon = keys->Get(kDesktopGroup, "Icon");
  return texts;
}

std::vector<std::string> NamesInFolder(const std::string& folder, const std::string& suffix,
                                       std::size_t most) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (names.size() == most) break;
    std::string name = entry->d_name;
    if (name != "." && name != ".." && name.ends_with(suffix)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace proclens::linux_port
