#pragma once
// A runtime's state folder (/var/lib/docker, a user's containers storage, ...)
// read as input: files are opened from a descriptor of the folder one name at
// a time, none through a link, so that a link planted inside cannot lead a
// reader out of it; only regular files no larger than the caller's limit are
// read (a FIFO in a file's place does not hold the reader up). The folder's
// own path is the caller's and is followed as given.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace proclens::linux_port {

class StateFolder {
 public:
  explicit StateFolder(std::string path) : path_(std::move(path)) {}

  // The bytes of the file at relative ("a/b/c.json"); nullopt when a name on
  // the way is a link, "." or "..", the file is no regular file, is larger
  // than limit, or cannot be read.
  std::optional<std::string> ReadFile(std::string_view relative, std::size_t limit) const;

  // The names of the folders (not links to folders) in the folder at relative
  // ("" for the state folder itself), sorted, at most limit of them.
  std::vector<std::string> FolderNames(std::string_view relative, std::size_t limit) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace proclens::linux_port
