#include "platform/linux/origins/flatpak_origin.h"

#include <glib.h>

#include "platform/linux/desktop_entry.h"
#include "platform/linux/origins/bundled_texts.h"
#include "platform/linux/origins/flatpak_info.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/real_path.h"
#include "platform/linux/whole_file.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kDeployDataLimit = 1u << 20;
// KIND/ID/ARCH/BRANCH/COMMIT/files/: the folders between an installation and a deployed file.
constexpr std::size_t kRefDepth = 5;

// The next folder name of path from pos, and pos moved past it and its slash.
std::string_view NextName(std::string_view path, std::size_t& pos) {
  const std::size_t end = path.find('/', pos);
  if (end == std::string_view::npos) {
    pos = path.size();
    return {};
  }
  const std::string_view name = path.substr(pos, end - pos);
  pos = end + 1;
  return name;
}

}  // namespace

FlatpakOrigin::FlatpakOrigin(std::vector<std::string> installations) : installations_(std::move(installations)) {}

std::vector<std::string> FlatpakOrigin::DefaultInstallations() {
  return {"/var/lib/flatpak", std::string(g_get_user_data_dir()) + "/flatpak"};
}

std::optional<FlatpakOrigin::Deployment> FlatpakOrigin::DeploymentOf(const std::string& path) {
  if (!resolved_) {
    // Programs come with every link resolved, so the folders must be too
    // (some systems keep /home or /var/lib behind a link).
    for (std::string& installation : installations_) {
      installation = RealPathOf(installation).value_or(installation);
      if (installation.size() > 1 && installation.back() == '/') installation.pop_back();
    }
    resolved_ = true;
  }
  for (std::size_t i = 0; i < installations_.size(); ++i) {
    const std::string& installation = installations_[i];
    if (path.size() <= installation.size() + 1 || path.compare(0, installation.size(), installation) != 0 ||
        path[installation.size()] != '/')
      continue;
    std::size_t pos = installation.size() + 1;
    const std::string_view kind = NextName(path, pos);
    if (kind != "app" && kind != "runtime") return std::nullopt;
    const std::string_view id = NextName(path, pos);
    for (std::size_t depth = 2; depth < kRefDepth; ++depth) {
      if (NextName(path, pos).empty()) return std::nullopt;
    }
    const std::size_t ref_end = pos - 1;
    if (id.empty() || NextName(path, pos) != "files" || pos >= path.size()) return std::nullopt;
    Deployment deployment;
    deployment.installation = i;
    deployment.ref_folder = path.substr(0, ref_end);
    deployment.id = std::string(id);
    deployment.is_app = kind == "app";
    return deployment;
  }
  return std::nullopt;
}

std::optional<std::string> FlatpakOrigin::InstallerOf(const ProgramFile& file) {
  const auto deployment = DeploymentOf(file.path);
  if (!deployment) return std::nullopt;
  return deployment->id;
}

std::optional<std::string> FlatpakOrigin::ExportedDesktopEntry(const Deployment& deployment) {
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
  if (texts.company.empty()) {
    // The remote it came from (flathub, fedora ...) is the nearest thing to a publisher.
    if (const auto deploy = ReadWholeFile(deployment->ref_folder + "/deploy", kDeployDataLimit))
      texts.company = DeployedOrigin(*deploy);
  }
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
  return check;
}

}  // namespace proclens::linux_port
