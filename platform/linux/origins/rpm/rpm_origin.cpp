#include "platform/linux/origins/rpm/rpm_origin.h"

#include "platform/linux/origins/package_files.h"

namespace proclens::linux_port {

RpmOrigin::~RpmOrigin() {
  if (reader_.joinable()) reader_.join();
}

void RpmOrigin::FinishReadAhead() {
  if (reader_.joinable()) reader_.join();
}

void RpmOrigin::ReadAhead() {
  if (!reader_.joinable() && !asked_) reader_ = std::thread([this] { database_.Prepare(); });
}

const std::optional<RpmOwner>& RpmOrigin::OwnerOf(const ProgramFile& file) {
  static const std::optional<RpmOwner> kNone;
  // A listed path names the package's file only while no other user can put
  // another file there.
  if (!file.kept) return kNone;
  if (reader_.joinable()) reader_.join();
  if (!asked_ || file.path != last_path_) {
    last_owner_ = database_.OwnerOf(file.path);
    last_path_ = file.path;
    asked_ = true;
  }
  return last_owner_;
}

std::optional<std::string> RpmOrigin::InstallerOf(const ProgramFile& file) {
  const auto& owner = OwnerOf(file);
  if (!owner) return std::nullopt;
  return owner->package;
}

OriginTexts RpmOrigin::Describe(const ProgramFile& file, bool german) {
  const auto& owner = OwnerOf(file);
  return owner ? database_.TextsOf(*owner, german) : OriginTexts{};
}

std::optional<std::string> RpmOrigin::ApplicationIcon(const ProgramFile& file) {
  const auto& owner = OwnerOf(file);
  if (!owner) return std::nullopt;
  auto known = icon_by_package_.find(owner->package);
  if (known != icon_by_package_.end()) return known->second;
  std::optional<std::string> icon =
      FirstEntryIcon(database_.FilesBelow(*owner, kApplicationsFolder, ".desktop"), database_.root());
  return icon_by_package_.emplace(owner->package, std::move(icon)).first->second;
}

FileCheck RpmOrigin::Check(const ProgramFile& file, int image, std::uint64_t size_limit) {
  FileCheck check;
  const auto& owner = OwnerOf(file);
  if (!owner) {
    check.state = file_state::kNoPackage;
    return check;
  }
  check.package = owner->package;
  check.state = database_.Check(*owner, image, size_limit);
  return check;
}

}  // namespace proclens::linux_port
