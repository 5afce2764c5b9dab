#pragma once
// A unit's description from its files, for when no manager answers: the
// unit's file on the manager's search path (systemd.unit(5)), then its
// drop-ins, as systemd loads them:
// - the first folder of the path that has the name wins; an instance
//   (foo@bar.service) that has no file of its own reads its template's
//   (foo@.service); a file that is a symlink (an alias) is read through, and
//   the names it leads to bring their drop-ins too; a file that is empty or
//   no regular file (a link to /dev/null) masks the unit;
// - drop-ins are NAME.d/*.conf in every folder of the path, for the name, its
//   template and its "-" prefixes (foo-bar.service: foo-.service.d), then
//   for the type (service.d); of files with the same name the one in the
//   first folder wins (a /dev/null link masks), and all are applied in the
//   order of their names, after the unit's file: the last Description= wins.
// Unit files are input that packages (and, for user units, the user) write:
// each is read whole only if it is a regular file under kUnitFileLimit.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace proclens::linux_port {

// Real unit files are a few KiB, drop-ins less.
inline constexpr std::size_t kUnitFileLimit = 256u << 10;
// The drop-ins read for one unit, those of the first folders first.
inline constexpr std::size_t kDropInLimit = 256;

struct FileDescription {
  std::string text;            // as the files say it, not yet bounded
  std::filesystem::path file;  // the file whose assignment counts

  bool operator==(const FileDescription&) const = default;
};

class UnitFileSearch {
 public:
  // folders: the search path, the first folder the one that wins.
  explicit UnitFileSearch(std::vector<std::filesystem::path> folders);

  // nullopt when no file names the unit, it is masked, or its Description
  // is unset or empty (systemd then shows the unit's name).
  std::optional<FileDescription> Describe(std::string_view unit_name) const;

 private:
  std::vector<std::filesystem::path> folders_;
};

// The system manager's search path.
std::vector<std::filesystem::path> SystemUnitFolders();
// A user's manager's search path with the XDG defaults, for the user's home
// and runtime folder (/run/user/UID).
std::vector<std::filesystem::path> UserUnitFolders(const std::filesystem::path& home, std::uint32_t uid);

// The names whose NAME.d folders may hold the unit's drop-ins, the most
// specific first (the type's own folder not included).
std::vector<std::string> DropInNames(std::string_view unit_name);

}  // namespace proclens::linux_port
