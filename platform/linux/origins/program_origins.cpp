#include "platform/linux/origins/program_origins.h"

#include "platform/linux/origins/appimage_origin.h"
#include "platform/linux/origins/dpkg_origin.h"
#include "platform/linux/origins/flatpak_origin.h"
#include "platform/linux/origins/rpm_origin.h"
#include "platform/linux/origins/snap_origin.h"

namespace proclens::linux_port {

ProgramOrigins::ProgramOrigins(std::vector<std::unique_ptr<ProgramOrigin>> sources)
    : sources_(std::move(sources)) {}

ProgramOrigins& ProgramOrigins::System() {
  static ProgramOrigins origins([] {
    std::vector<std::unique_ptr<ProgramOrigin>> sources;
    sources.push_back(std::make_unique<FlatpakOrigin>(FlatpakOrigin::DefaultInstallations()));
    sources.push_back(std::make_unique<SnapOrigin>());
    sources.push_back(std::make_unique<AppImageOrigin>());
    sources.push_back(std::make_unique<DpkgOrigin>("/"));
    sources.push_back(std::make_unique<RpmOrigin>("/"));
    return sources;
  }());
  return origins;
}

void ProgramOrigins::ReadAhead() {
  for (const auto& source : sources_) source->ReadAhead();
}

ProgramOrigin* ProgramOrigins::SourceOf(const ProgramFile& file) {
  if (asked_ && file.path == last_path_ && file.pid == last_pid_) return last_source_;
  last_source_ = nullptr;
  for (const auto& source : sources_) {
    if (source->InstallerOf(file)) {
      last_source_ = source.get();
      break;
    }
  }
  asked_ = true;
  last_path_ = file.path;
  last_pid_ = file.pid;
  return last_source_;
}

std::optional<OriginTexts> ProgramOrigins::Describe(const ProgramFile& file, bool german) {
  ProgramOrigin* source = SourceOf(file);
  if (source == nullptr) return std::nullopt;
  return source->Describe(file, german);
}

std::optional<std::string> ProgramOrigins::ApplicationIcon(const ProgramFile& file) {
  ProgramOrigin* source = SourceOf(file);
  if (source == nullptr) return std::nullopt;
  return source->ApplicationIcon(file);
}

FileCheck ProgramOrigins::Check(const ProgramFile& file, int image, std::uint64_t size_limit) {
  ProgramOrigin* source = SourceOf(file);
  if (source == nullptr) {
    FileCheck check;
    check.state = file_state::kNoPackage;
    return check;
  }
  return source->Check(file, image, size_limit);
}

}  // namespace proclens::linux_port
