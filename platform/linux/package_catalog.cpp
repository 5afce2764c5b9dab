#include "platform/linux/package_catalog.h"

#include <algorithm>

#include "platform/linux/desktop_entry.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kStatusLimit = 256u << 20;
constexpr const char* kMetainfoFolders[] = {"/usr/share/metainfo/", "/usr/share/appdata/"};

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

PackageCatalog::PackageCatalog(std::string root) : root_(std::move(root)) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

PackageCatalog& PackageCatalog::System() {
  static PackageCatalog catalog("/");
  return catalog;
}

std::optional<std::string> PackageCatalog::ApplicationIcon(const std::string& real_path) {
  const auto owner = OwnerOf(real_path);
  if (!owner) return std::nullopt;
  auto known = icon_by_package_.find(owner->list_name);
  if (known != icon_by_package_.end()) return known->second;
  std::vector<std::string> entries =
      Database().files.FilesBelow(owner->list_name, "/usr/share/applications/", ".desktop");
  std::sort(entries.begin(), entries.end());
  std::optional<std::string> icon;
  for (const std::string& entry : entries) {
    if (auto read = ReadDesktopEntry(root_ + entry.substr(1))) {
      icon = std::move(read->icon);
      break;
    }
  }
  return icon_by_package_.emplace(owner->list_name, std::move(icon)).first->second;
}

PackageCatalog::Loaded& PackageCatalog::Database() {
  if (!database_) {
    database_ = std::make_unique<Loaded>();
    database_->files = DpkgFileIndex::Open(root_);
  }
  return *database_;
}

const DpkgStatus& PackageCatalog::Status() {
  Loaded& database = Database();
  // Read only once a file has an owner to describe: a click on a program of
  // no package does not wait for it.
  if (!database.status) {
    database.status.emplace();
    // Without a readable status file the packages are still known by name.
    if (const auto text = ReadWholeFile(root_ + "var/lib/dpkg/status", kStatusLimit))
      *database.status = DpkgStatus::Parse(*text);
  }
  return *database.status;
}

std::optional<DpkgOwner> PackageCatalog::OwnerOf(const std::string& real_path) {
  return Database().files.OwnerOf(real_path);
}

std::optional<MetainfoTexts> PackageCatalog::MetainfoFor(const DpkgOwner& owner,
                                                         const std::string& program, bool german) {
  std::vector<std::string> files;
  for (const char* folder : kMetainfoFolders) {
    for (std::string& file : Database().files.FilesBelow(owner.list_name, folder, ".xml"))
      files.push_back(std::move(file));
  }
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return std::pair(BaseName(a), a) < std::pair(BaseName(b), b);
  });

  std::optional<MetainfoTexts> first;
  for (const std::string& file : files) {
    const auto xml = ReadWholeFile(root_ + file.substr(1), kApplicationFileLimit);
    if (!xml) continue;
    auto texts = ParseMetainfo(*xml, german);
    if (!texts) continue;
    if (std::find(texts->binaries.begin(), texts->binaries.end(), program) != texts->binaries.end())
      return texts;
    if (!first) first = std::move(texts);
  }
  return first;
}

std::optional<PackageTexts> PackageCatalog::Describe(const std::string& real_path, bool german) {
  const auto owner = OwnerOf(real_path);
  if (!owner) return std::nullopt;
  PackageTexts texts;
  texts.product = owner->package();
  if (const PackageRecord* record = Status().Find(owner->list_name)) {
    texts.description = record->summary;
    texts.company = MaintainerName(record->maintainer);
  }
  if (const auto metainfo = MetainfoFor(*owner, BaseName(real_path), german)) {
    if (!metainfo->summary.empty()) texts.description = metainfo->summary;
    if (!metainfo->name.empty()) texts.product = metainfo->name;
    if (!metainfo->developer.empty()) texts.company = metainfo->developer;
  }
  return texts;
}

}  // namespace proclens::linux_port
