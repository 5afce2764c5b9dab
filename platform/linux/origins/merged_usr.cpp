#include "platform/linux/origins/merged_usr.h"

namespace proclens::linux_port {

bool UnderLinkedFolder(std::string_view path) {
  constexpr std::string_view kLinked[] = {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"};
  // Nearly every listed path begins "/usr/", "/etc/" or "/var/"; they skip the loop.
  if (path.size() < 4 || (path[1] != 'b' && path[1] != 's' && path[1] != 'l') || path[2] == 'r') return false;
  for (const std::string_view folder : kLinked) {
    if (path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/')) return true;
  }
  return false;
}

std::string MergedUsrPath(std::string_view path) {
  return UnderLinkedFolder(path) ? "/usr" + std::string(path) : std::string(path);
}

std::optional<std::string> MergedUsrAlias(const std::string& path) {
  std::string merged = MergedUsrPath(path);
  if (merged != path) return merged;
  constexpr std::string_view kUsr = "/usr";
  if (path.starts_with("/usr/")) {
    std::string bare = path.substr(kUsr.size());
    if (MergedUsrPath(bare) == path) return bare;
  }
  return std::nullopt;
}

}  // namespace proclens::linux_port
