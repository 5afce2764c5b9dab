#pragma once
// Which installed application's icon belongs to an executable file: the
// desktop entries, indexed by the real path of the program their Exec names.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/desktop/desktop_entry.h"

namespace proclens::linux_port {

class DesktopIconIndex {
 public:
  // Reads every desktop entry of the applications folders, the user's
  // first (ApplicationsFolders()).
  static DesktopIconIndex Load();
  // The same over these applications folders, the first ones first.
  static DesktopIconIndex LoadFrom(const std::vector<std::string>& folders);

  // The serialized icon of the first entry that runs this file; nullopt when
  // no entry with an icon does.
  std::optional<std::string> IconFor(const std::string& path) const;

  std::size_t size() const { return icon_by_program_.size(); }

 private:
  std::map<std::string, std::string> icon_by_program_;  // real path -> icon text
};

}  // namespace proclens::linux_port
