#pragma once
// The folders desktop entries come from, and a stamp of their state: what was
// read from them is still current while no folder's modification time has
// changed. Installing or removing an entry (dpkg renames it into place)
// changes the time of the folder that holds it.

#include <sys/types.h>

#include <string>
#include <vector>

namespace proclens::linux_port {

// The applications folders in the order entries are looked up: the user's
// data folder first, then the system's (XDG_DATA_HOME, XDG_DATA_DIRS).
std::vector<std::string> ApplicationsFolders();

class ApplicationsFoldersStamp {
 public:
  // Each of the roots and every folder below them, with its modification
  // time; a root that does not exist counts too, as it may appear.
  static ApplicationsFoldersStamp Take(const std::vector<std::string>& roots = ApplicationsFolders());

  // True when a folder stamped has changed, appeared or gone since: one
  // stat per folder and no folder read, so an unchanged state costs little.
  bool Changed() const;

 private:
  struct Folder {
    std::string path;
    bool exists = false;
    struct timespec modified {};
  };
  static Folder StatFolder(const std::string& path);
  void AddTree(const std::string& path, int depth);

  std::vector<Folder> folders_;
};

}  // namespace proclens::linux_port
