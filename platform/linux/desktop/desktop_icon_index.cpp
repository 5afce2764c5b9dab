#include "platform/linux/desktop/desktop_icon_index.h"

#include <glib.h>
#include <sys/stat.h>

#include <memory>
#include <set>

#include "platform/linux/desktop/applications_folders.h"
#include "platform/linux/proc/fuse_questions.h"
#include "platform/linux/base/real_path.h"

namespace proclens::linux_port {
namespace {

// Real folders hold entries a level or two deep (applications/kde4/).
constexpr int kDeepestFolder = 8;

struct DirClose {
  void operator()(GDir* dir) const { g_dir_close(dir); }
};

// The entries of one applications folder and its subfolders, whose entries'
// ids join the folder names with '-'. An id met before belongs to a folder
// that comes first in the search order, which hides this one. Links to
// folders are not followed (a package may install one that leads back to its
// own folder), and the depth is capped all the same.
void ReadFolder(const std::string& folder, const std::string& id_prefix, int depth, std::set<std::string>& seen_ids,
                std::map<std::string, std::string>& icon_by_program) {
  std::unique_ptr<GDir, DirClose> dir(g_dir_open(folder.c_str(), 0, nullptr));
  if (!dir) return;
  while (const char* name = g_dir_read_name(dir.get())) {
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      if (depth < kDeepestFolder) ReadFolder(path, id_prefix + name + "-", depth + 1, seen_ids, icon_by_program);
      continue;
    }
    if (!g_str_has_suffix(name, ".desktop") || !seen_ids.insert(id_prefix + name).second) continue;
    const auto entry = ReadDesktopEntry(path);
    if (!entry || entry->program.empty()) continue;
    icon_by_program.emplace(entry->program, entry->icon);  // the first entry keeps its place
  }
}

}  // namespace

DesktopIconIndex DesktopIconIndex::Load() {
  return LoadFrom(ApplicationsFolders());
}

DesktopIconIndex DesktopIconIndex::LoadFrom(const std::vector<std::string>& folders) {
  DesktopIconIndex index;
  std::set<std::string> seen_ids;
  for (const std::string& folder : folders) ReadFolder(folder, "", 0, seen_ids, index.icon_by_program_);
  return index;
}

std::optional<std::string> DesktopIconIndex::IconFor(const std::string& path) const {
  const auto real = FuseQuestions::OfThisProgram()
                        .Ask<std::optional<std::string>>(path, [path] { return RealPathOf(path); })
                        .value_or(std::nullopt);
  if (!real) return std::nullopt;
  const auto found = icon_by_program_.find(*real);
  if (found == icon_by_program_.end()) return std::nullopt;
  return found->second;
}

}  // namespace proclens::linux_port
