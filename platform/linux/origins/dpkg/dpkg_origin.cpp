#include "platform/linux/origins/dpkg/dpkg_origin.h"

#include <algorithm>

#include "platform/linux/origins/bundled_texts.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/origins/file_digest.h"
#include "platform/linux/base/text.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kStatusLimit = 256u << 20;
constexpr std::size_t kMd5sumsLimit = 64u << 20;
constexpr std::size_t kMd5HexDigits = 32;


bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::optional<std::string> RecordedSum(std::string_view md5sums, std::string_view listed_path) {
  // Lines are "<32 hex digits>  <path without its leading slash>".
  if (listed_path.empty() || listed_path.front() != '/') return std::nullopt;
  const std::string_view wanted = listed_path.substr(1);
  while (!md5sums.empty()) {
    const std::size_t end = md5sums.find('\n');
    const std::string_view line = md5sums.substr(0, end);
    md5sums.remove_prefix(end == std::string_view::npos ? md5sums.size() : end + 1);
    if (line.size() <= kMd5HexDigits + 1 || line[kMd5HexDigits] != ' ') continue;
    const std::string_view sum = line.substr(0, kMd5HexDigits);
    std::string_view path = line.substr(kMd5HexDigits);
    path.remove_prefix(std::min(path.find_first_not_of(' '), path.size()));
    if (path == wanted && std::all_of(sum.begin(), sum.end(), IsHexDigit)) {
      std::string lower(sum);
      for (char& c : lower) {
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
      }
      return lower;
    }
  }
  return std::nullopt;
}

DpkgOrigin::DpkgOrigin(std::string root) : root_(std::move(root)) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

DpkgOrigin::~DpkgOrigin() {
  if (reader_.joinable()) reader_.join();
}

void DpkgOrigin::FinishReadAhead() {
  if (reader_.joinable()) reader_.join();
}

void DpkgOrigin::ReadAhead() {
  if (database_ || reader_.joinable()) return;
  reader_ = std::thread([this] {
    try {
      auto loaded = std::make_unique<Loaded>();
      loaded->files = DpkgFileIndex::Open(root_);
      loaded->files.IndexAll();
      loaded->status = ReadStatus(root_);
      database_ = std::move(loaded);
    } catch (const std::exception&) {
      // Out of memory: the questions read what they need themselves.
    }
  });
}

DpkgStatus DpkgOrigin::ReadStatus(const std::string& root) {
  // Without a readable status file the packages are still known by name.
  if (const auto text = ReadWholeFile(root + "var/lib/dpkg/status", kStatusLimit)) return DpkgStatus::Parse(*text);
  // Distroless images keep one record a file in status.d instead.
  std::string records;
  for (const std::string& name : NamesInFolder(root + "var/lib/dpkg/status.d", "")) {
    if (name.find('.') != std::string::npos) continue;
    if (const auto record = ReadWholeFile(root + "var/lib/dpkg/status.d/" + name, kApplicationFileLimit))
      records += *record + "\n\n";
  }
  return DpkgStatus::Parse(records);
}

DpkgOrigin::Loaded& DpkgOrigin::Database() {
  if (reader_.joinable()) reader_.join();
  if (!database_) {
    database_ = std::make_unique<Loaded>();
    database_->files = DpkgFileIndex::Open(root_);
  }
  return *database_;
}

const DpkgStatus& DpkgOrigin::Status() {
  Loaded& database = Database();
  // Read only once a file has an owner to describe: a click on a program of
  // no package does not wait for it.
  if (!database.status) database.status = ReadStatus(root_);
  return *database.status;
}

std::optional<DpkgOwner> DpkgOrigin::OwnerOf(const std::string& real_path) {
  return Database().files.OwnerOf(real_path);
}

std::optional<DpkgOwner> DpkgOrigin::OwnerOf(const ProgramFile& file) {
  // A listed path names the package's file only while no other user can put
  // another file there.
  if (!file.kept) return std::nullopt;
  return OwnerOf(file.path);
}

std::optional<std::string> DpkgOrigin::InstallerOf(const ProgramFile& file) {
  const auto owner = OwnerOf(file);
  if (!owner) return std::nullopt;
  return owner->package();
}

OriginTexts DpkgOrigin::Describe(const ProgramFile& file, bool german) {
  OriginTexts texts;
  const auto owner = OwnerOf(file);
  if (!owner) return texts;
  texts.product = owner->package();
  if (const PackageRecord* record = Status().Find(owner->list_name)) {
    texts.description = record->summary;
    texts.company = MaintainerName(record->maintainer);
  }
  std::vector<std::string> files;
  for (const char* folder : kMetainfoFolders) {
    for (std::string& found : Database().files.FilesBelow(owner->list_name, folder, ".xml"))
      files.push_back(std::move(found));
  }
  const std::vector<MetainfoTexts> metainfo = ReadMetainfo(std::move(files), root_, german);
  if (const MetainfoTexts* chosen = ChooseMetainfo(metainfo, BaseName(file.path)))
    OverlayMetainfo(texts, *chosen);
  return texts;
}

std::optional<std::string> DpkgOrigin::ApplicationIcon(const ProgramFile& file) {
  const auto owner = OwnerOf(file);
  if (!owner) return std::nullopt;
  auto known = icon_by_package_.find(owner->list_name);
  if (known != icon_by_package_.end()) return known->second;
  std::optional<std::string> icon =
      FirstEntryIcon(Database().files.FilesBelow(owner->list_name, kApplicationsFolder, ".desktop"), root_);
  return icon_by_package_.emplace(owner->list_name, std::move(icon)).first->second;
}

std::optional<std::string> DpkgOrigin::SumRecordedFor(const DpkgOwner& owner) {
  if (md5sums_of_ != owner.list_name) {
    md5sums_of_ = owner.list_name;
    md5sums_ = ReadWholeFile(Database().files.Md5sumsPath(owner.list_name), kMd5sumsLimit);
  }
  if (!md5sums_) return std::nullopt;
  return RecordedSum(*md5sums_, owner.listed_path);
}

FileCheck DpkgOrigin::Check(const ProgramFile& file, int image, std::uint64_t size_limit) {
  FileCheck check;
  const auto owner = OwnerOf(file);
  if (!owner) {
    check.state = file_state::kNoPackage;
    return check;
  }
  check.package = owner->package();
  const auto recorded = SumRecordedFor(*owner);
  if (!recorded) {
    check.state = file_state::kNoRecord;
    return check;
  }
  const std::vector<unsigned char> sum = BytesOfHex(*recorded);
  check.state = CompareWithDigest(image, "MD5", sum.data(), sum.size(), size_limit);
  return check;
}

}  // namespace proclens::linux_port
