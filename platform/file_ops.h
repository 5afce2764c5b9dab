#pragma once
// Files as the catalogue sees them: the first directory entry of a name, and its icons.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace proclens {

struct FileEntry {
  bool is_directory = false;
  std::uint64_t size = 0;
};

// A picture handed out by the platform; its destructor releases it (DestroyIcon).
class Icon {
 public:
  virtual ~Icon() = default;
};

struct ExtractedIcons {
  unsigned count = 0;  // icons extracted, 0 on failure
  std::unique_ptr<Icon> large;
  std::unique_ptr<Icon> small;
};

class FileOps {
 public:
  virtual ~FileOps() = default;
  // FindFirstFileA + FindClose: the first entry the search finds, whatever its attributes.
  virtual std::optional<FileEntry> FindFirstFile(const std::string& path) = 0;
  // ExtractIconExA(path, 0, &large, &small, 1).
  virtual ExtractedIcons ExtractIcons(const std::string& path) = 0;

  // The same for the program of a running process, at the path the catalogue
  // resolved for it: a platform whose processes may see another root (a
  // container) than the program's answers for the file the process runs.
  virtual std::optional<FileEntry> FindFirstFileOf(std::uint32_t pid, const std::string& path) {
    (void)pid;
    return FindFirstFile(path);
  }
  virtual ExtractedIcons ExtractIconsOf(std::uint32_t pid, const std::string& path) {
    (void)pid;
    return ExtractIcons(path);
  }
};

}  // namespace proclens
