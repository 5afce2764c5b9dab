#pragma once
// Which installed application's icon belongs to an executable file: the
// desktop entries, indexed by the real path of the program their Exec names.

#include <map>
#include <optional>
#include <string>

namespace proclens::linux_port {

class DesktopIconIndex {
 public:
  // Reads every desktop entry GIO knows (XDG_DATA_DIRS and the user's own).
  static DesktopIconIndex Load();

  // The serialized icon of the first entry that runs this file; nullopt when
  // no entry with an icon does.
  std::optional<std::string> IconFor(const std::string& path) const;

  std::size_t size() const { return icon_by_program_.size(); }

 private:
  std::map<std::string, std::string> icon_by_program_;  // real path -> icon text
};

// The canonical path of a file (symbolic links resolved); nullopt when it is missing.
std::optional<std::string> RealPathOf(const std::string& path);

}  // namespace proclens::linux_port
