#include "platform/linux/origins/flatpak/flatpak_origin.h"

#include <glib.h>
#include <sys/stat.h>

#include "platform/linux/base/user_names.h"
#include "platform/linux/desktop/desktop_entry.h"
#include "platform/linux/origins/bundled_texts.h"
#include "platform/linux/origins/flatpak/flatpak_info.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/base/real_path.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kDeployDataLimit = 1u << 20;
constexpr std::size_t kRepoConfigLimit = 256u << 10;

}  // namespace

FlatpakOrigin::FlatpakOrigin(std::vector<std::string> installations) : installations_(std::move(installations)) {}

std::vector<std::string> FlatpakOrigin::DefaultInstallations() {
  return {"/var/lib/flatpak", std::string(g_get_user_data_dir()) + "/flatpak"};
}

std::optional<FlatpakDeployment> FlatpakOrigin::DeploymentOf(const std::string& path) {
  if (!resolved_) {
    // Programs come with every link resolved, so the folders must be too
    // (some systems keep /home or /var/lib behind a link).
    for (std::string& installation : installations_) {
      installation = RealPathOf(installation).value_or(installation);
      if (installation.size() > 1 && installation.back() == '/') installation.pop_back();
    }
    resolved_ = true;
  }
  return DeploymentOfPath(path, installations_);
}

std::string FlatpakOrigin::RemoteOf(const FlatpakDeployment& deployment) {
  const auto deploy = ReadWholeFile(deployment.ref_folder + "/deploy", kDeployDataLimit);
  if (!deploy) return {};
  const std::string remote = DeployedOrigin(*deploy);
  // A deployment names its remote itself; only one that its installation
  // has configured is the remote it came from.
  const auto config = ReadWholeFile(installations_[deployment.installation] + "/repo/config", kRepoConfigLimit);
  if (!config) return {};
  for (const std::string& configured : ConfiguredRemotes(*config)) {
    if (configured == remote) return remote;
  }
  return {};
}

std::optional<std::string> FlatpakOrigin::InstallerOf(const ProgramFile& file) {
  const auto deployment = DeploymentOf(file.path);
  if (!deployment) return std::nullopt;
  return deployment->id;
}

std::optional<std::string> FlatpakOrigin::ExportedDesktopEntry(const FlatpakDeployment& deployment) {
  if (!deployment.is_app) return std::nullopt;
  const std::string name = "/exports/share/applications/" + deployment.id + ".desktop";
  std::vector<std::size_t> order{deployment.installation};
  for (std::size_t i = 0; i < installations_.size(); ++i) {
    if (i != deployment.installation) order.push_back(i);
  }
  for (const std::size_t i : order) {
    if (IsRegularFile(installations_[i] + name)) return installations_[i] + name;
  }
  return std::nullopt;
}

OriginTexts FlatpakOrigin::Describe(const ProgramFile& file, bool german) {
  OriginTexts texts;
  const auto deployment = DeploymentOf(file.path);
  if (!deployment) return texts;
  const std::string share = deployment->ref_folder + "/files/share/";
  std::optional<MetainfoTexts> metainfo;
  for (const std::string& candidate : {share + "metainfo/" + deployment->id + ".metainfo.xml",
                                       share + "metainfo/" + deployment->id + ".appdata.xml",
                                       share + "appdata/" + deployment->id + ".appdata.xml"}) {
    if ((metainfo = ReadMetainfoFile(candidate, german))) break;
  }
  if (metainfo) {
    OverlayMetainfo(texts, *metainfo);
  } else if (const auto entry = ExportedDesktopEntry(*deployment)) {
    if (const auto desktop = ReadDesktopTexts(*entry, german)) {
      texts.description = desktop->comment;
      texts.product = desktop->name;
    }
  }
  if (texts.product.empty()) texts.product = deployment->id;
  // The remote it came from (flathub, fedora ...) is the nearest thing to a publisher.
  if (texts.company.empty()) texts.company = RemoteOf(*deployment);
  return texts;
}

std::optional<std::string> FlatpakOrigin::ApplicationIcon(const ProgramFile& file) {
  const auto deployment = DeploymentOf(file.path);
  if (!deployment) return std::nullopt;
  const auto entry_file = ExportedDesktopEntry(*deployment);
  if (!entry_file) return std::nullopt;
  const auto entry = ReadDesktopEntry(*entry_file);
  if (!entry || entry->icon.empty()) return std::nullopt;
  // A picture inside the sandbox is named as the application sees it.
  if (entry->icon.starts_with("/app/")) return deployment->ref_folder + "/files" + entry->icon.substr(4);
  return entry->icon;
}

FileCheck FlatpakOrigin::Check(const ProgramFile& file, int /*image*/, std::uint64_t /*size_limit*/) {
  FileCheck check;
  const auto deployment = DeploymentOf(file.path);
  if (!deployment) {
    check.state = file_state::kNoPackage;
    return check;
  }
  // Flatpak keeps its files' checksums only inside the OSTree repository's
  // objects, which no cheap and sound read reaches.
  check.state = file_state::kNoRecord;
  check.package = deployment->id;
  // Only the first installation is the system's; any other is one user's
  // own, and what it holds is that user's word.
  if (deployment->installation != 0) {
    check.authority = CheckAuthority::kUserInstallation;
    struct stat owner {};
    const std::string& folder = installations_[deployment->installation];
    check.authority_user = ::stat(folder.c_str(), &owner) == 0 ? UserName(owner.st_uid) : std::string();
  }
  return check;
}

}  // namespace proclens::linux_port
