#include "platform/linux/origins/apk/apk_origin.h"

#include "platform/linux/origins/file_digest.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

// A full Alpine system's database is a few MiB.
constexpr std::size_t kDatabaseLimit = 64u << 20;

// "Name <address>" gives "Name"; an address alone gives empty.
std::string NameOfMaintainer(std::string_view maintainer) {
  maintainer = maintainer.substr(0, maintainer.find('<'));
  while (!maintainer.empty() && (maintainer.back() == ' ' || maintainer.back() == '\t')) maintainer.remove_suffix(1);
  while (!maintainer.empty() && (maintainer.front() == ' ' || maintainer.front() == '\t')) maintainer.remove_prefix(1);
  return std::string(maintainer);
}

}  // namespace

ApkOrigin::ApkOrigin(std::string root) : root_(std::move(root)) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

const ApkDatabase& ApkOrigin::Database() {
  if (!database_) {
    // Without a readable database no file is apk's.
    const auto text = ReadWholeFile(root_ + "lib/apk/db/installed", kDatabaseLimit);
    database_ = text ? ApkDatabase::Parse(*text) : ApkDatabase();
  }
  return *database_;
}

const ApkFile* ApkOrigin::RecordOf(const ProgramFile& file) {
  // A listed path names the package's file only while no other user can put
  // another file there.
  if (!file.kept) return nullptr;
  return Database().Find(file.path);
}

std::optional<std::string> ApkOrigin::InstallerOf(const ProgramFile& file) {
  const ApkFile* record = RecordOf(file);
  if (record == nullptr) return std::nullopt;
  return Database().packages()[record->package].name;
}

OriginTexts ApkOrigin::Describe(const ProgramFile& file, bool) {
  OriginTexts texts;
  const ApkFile* record = RecordOf(file);
  if (record == nullptr) return texts;
  const ApkPackage& package = Database().packages()[record->package];
  texts.description = package.description;
  texts.product = package.name;
  texts.company = NameOfMaintainer(package.maintainer);
  return texts;
}

std::optional<std::string> ApkOrigin::ApplicationIcon(const ProgramFile&) { return std::nullopt; }

FileCheck ApkOrigin::Check(const ProgramFile& file, int image, std::uint64_t size_limit) {
  FileCheck check;
  const ApkFile* record = RecordOf(file);
  if (record == nullptr) {
    check.state = file_state::kNoPackage;
    return check;
  }
  check.package = Database().packages()[record->package].name;
  const auto digest = DecodeApkChecksum(record->checksum);
  if (!digest) {
    check.state = file_state::kNoRecord;
    return check;
  }
  check.state = CompareWithDigest(image, digest->algorithm, digest->bytes.data(), digest->bytes.size(), size_limit);
  return check;
}

}  // namespace proclens::linux_port
