#include "platform/linux/origins/snap/snap_origin.h"

#include <fcntl.h>

#include "platform/linux/desktop/desktop_entry.h"
#include "platform/linux/origins/bundled_texts.h"
#include "platform/linux/origins/file_digest.h"
#include "platform/linux/origins/snap/snap_metadata.h"
#include "platform/linux/origins/snap/snapd_client.h"
#include "platform/linux/base/unique_fd.h"
#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kSnapYamlLimit = 1u << 20;
constexpr std::size_t kAssertionLimit = 256 * 1024;
// snapd keeps one assertion folder per snap and revision it saw.
constexpr std::size_t kMostAssertions = 100000;
constexpr std::string_view kSnapVariable = "${SNAP}";

bool IsRevision(std::string_view text) {
  if (!text.empty() && text.front() == 'x') text.remove_prefix(1);  // installed from a file
  if (text.empty() || text.size() > 12) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The files of one assertion folder: snapd keeps the current assertion as
// "active" (or "active.N" in a newer format), and one whose optional primary
// key is not the default in a subfolder named "0:VALUE".
std::vector<std::string> AssertionFiles(const std::string& folder) {
  std::vector<std::string> files;
  for (const std::string& name : NamesInFolder(folder, "")) {
    if (name.starts_with("active")) files.push_back(folder + "/" + name);
    if (!name.starts_with("0:")) continue;
    for (const std::string& inner : NamesInFolder(folder + "/" + name, "")) {
      if (inner.starts_with("active")) files.push_back(folder + "/" + name + "/" + inner);
    }
  }
  return files;
}

// The headers of the first assertion of one type (kept by snapd under
// asserts-v0/TYPE/PRIMARY-KEY...) that has every wanted header value.
std::optional<std::map<std::string, std::string, std::less<>>> FindAssertion(
    const std::string& folder, const std::vector<std::pair<std::string, std::string>>& wanted) {
  for (const std::string& key : NamesInFolder(folder, "", kMostAssertions)) {
    for (const std::string& file : AssertionFiles(folder + "/" + key)) {
      const auto text = ReadWholeFile(file, kAssertionLimit);
      if (!text) continue;
      auto headers = AssertionHeaders(*text);
      bool all = true;
      for (const auto& [name, value] : wanted) {
        const auto found = headers.find(name);
        all = all && found != headers.end() && found->second == value;
      }
      if (all) return headers;
    }
  }
  return std::nullopt;
}

}  // namespace

SnapOrigin::SnapOrigin(SnapRoots roots) : roots_(std::move(roots)) {}

std::optional<SnapOrigin::Revision> SnapOrigin::RevisionOf(const std::string& path) const {
  for (const std::string& mount : roots_.mounts) {
    if (path.size() <= mount.size() + 1 || path.compare(0, mount.size(), mount) != 0 || path[mount.size()] != '/')
      continue;
    const std::size_t name_start = mount.size() + 1;
    const std::size_t name_end = path.find('/', name_start);
    if (name_end == std::string::npos) return std::nullopt;
    const std::size_t revision_end = path.find('/', name_end + 1);
    if (revision_end == std::string::npos || revision_end + 1 == path.size()) return std::nullopt;
    Revision revision;
    revision.name = path.substr(name_start, name_end - name_start);
    revision.revision = path.substr(name_end + 1, revision_end - name_end - 1);
    if (!IsSnapName(revision.name) || !IsRevision(revision.revision)) return std::nullopt;
    revision.folder = path.substr(0, revision_end);
    return revision;
  }
  return std::nullopt;
}

std::optional<std::string> SnapOrigin::InstallerOf(const ProgramFile& file) {
  const auto revision = RevisionOf(file.path);
  if (!revision) return std::nullopt;
  return revision->name;
}

std::optional<SnapPublisher> SnapOrigin::Publisher(const std::string& name) {
  const auto known = publishers_.find(name);
  if (known != publishers_.end()) return known->second;
  return publishers_.emplace(name, AskSnapdForPublisher(roots_.snapd_socket, name)).first->second;
}

OriginTexts SnapOrigin::Describe(const ProgramFile& file, bool german) {
  OriginTexts texts;
  const auto revision = RevisionOf(file.path);
  if (!revision) return texts;
  // snap.yaml has no translations.
  if (const auto yaml = ReadWholeFile(revision->folder + "/meta/snap.yaml", kSnapYamlLimit)) {
    if (const auto snap = ParseSnapYaml(*yaml)) {
      texts.description = snap->summary;
      texts.product = !snap->title.empty() ? snap->title : snap->name;
    }
  }
  if (texts.product.empty()) texts.product = revision->name;
  if (const auto publisher = Publisher(revision->name)) texts.company = PublisherText(*publisher, german);
  return texts;
}

std::optional<std::string> SnapOrigin::ApplicationIcon(const ProgramFile& file) {
  const auto revision = RevisionOf(file.path);
  if (!revision) return std::nullopt;
  const std::string gui = revision->folder + "/meta/gui/";
  for (const char* picture : {"icon.png", "icon.svg"}) {
    if (IsRegularFile(gui + picture)) return gui + picture;
  }
  for (const std::string& name : NamesInFolder(gui, ".desktop")) {
    const auto entry = ReadDesktopTexts(gui + name, false);
    if (!entry || entry->icon.empty()) continue;
    std::string icon = entry->icon;
    // Snap desktop entries name their pictures inside the snap as ${SNAP}/...
    if (icon.starts_with(kSnapVariable)) icon = revision->folder + icon.substr(kSnapVariable.size());
    icon = LocalIconOf(std::move(icon));
    if (icon.empty()) continue;
    if (icon.front() != '/') return icon;  // a themed icon's name
    if (icon.starts_with(revision->folder + "/") && IsRegularFile(icon)) return icon;
  }
  return std::nullopt;
}

std::optional<std::string> SnapOrigin::RecordedDigest(const Revision& revision) {
  // A revision installed from a file was never in the store.
  if (revision.revision.front() == 'x') return std::nullopt;
  const std::string store = roots_.assertions + "/asserts-v0/";
  const std::string snap_name = revision.name.substr(0, revision.name.find('_'));
  const auto declaration = FindAssertion(store + "snap-declaration/16", {{"snap-name", snap_name}});
  if (!declaration) return std::nullopt;
  const auto snap_id = declaration->find("snap-id");
  if (snap_id == declaration->end()) return std::nullopt;
  const auto record = FindAssertion(store + "snap-revision",
                                    {{"snap-id", snap_id->second}, {"snap-revision", revision.revision}});
  if (!record) return std::nullopt;
  const auto digest = record->find("snap-sha3-384");
  if (digest == record->end()) return std::nullopt;
  return digest->second;
}

FileCheck SnapOrigin::Check(const ProgramFile& file, int /*image*/, std::uint64_t size_limit) {
  FileCheck check;
  const auto revision = RevisionOf(file.path);
  if (!revision) {
    check.state = file_state::kNoPackage;
    return check;
  }
  check.package = revision->name;
  // The program lies in the read-only image of the .snap file, so the file
  // that the store recorded is what is checked.
  const auto recorded = RecordedDigest(*revision);
  if (!recorded) {
    check.state = file_state::kNoRecord;
    return check;
  }
  const std::string snap_file = roots_.snap_files + "/" + revision->name + "_" + revision->revision + ".snap";
  const UniqueFd snap(::open(snap_file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!snap.valid()) {
    check.state = file_state::kUnreadable;
    return check;
  }
  const std::vector<unsigned char> sum = BytesOfBase64Url(*recorded);
  check.state = CompareWithDigest(snap.get(), "SHA3-384", sum.data(), sum.size(), size_limit);
  return check;
}

}  // namespace proclens::linux_port
