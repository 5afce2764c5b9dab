#pragma once
// The RPM database, read through librpm: which package installed a file, what
// that package says of itself, and whether the file is still the one it
// installed. Fedora, openSUSE and RHEL keep one for the whole system.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

struct RpmLibrary;
const RpmLibrary* LoadRpm();
class RpmSession;

struct RpmOwner {
  std::string package;      // the package's name
  std::string listed_path;  // the file as the package lists it
  unsigned int record = 0;  // the package's header in the database
  unsigned int file = 0;    // the file's place in that header's list
};

// Not for use from two threads at once.
class RpmDatabase {
 public:
  using Loader = const RpmLibrary* (*)();

  // The database that `rpm --root root` reads: librpm's %_dbpath below root.
  // Nothing is loaded or opened before the first question; the database is
  // then opened once, read-only, for the object's life. A root without a
  // database answers nothing, and none is made there (librpm would make an
  // empty one even when asked only to read).
  explicit RpmDatabase(std::string root, Loader load = LoadRpm);
  ~RpmDatabase();
  RpmDatabase(const RpmDatabase&) = delete;
  RpmDatabase& operator=(const RpmDatabase&) = delete;

  // The package that installed the file at this absolute path, every link
  // already resolved. A package that lists the path's merged-/usr alias
  // (/bin/x for /usr/bin/x, and the other way round) counts too.
  std::optional<RpmOwner> OwnerOf(const std::string& real_path);

  // What a version resource would say: the AppStream metainfo that the
  // package ships for the program, else its Summary, Name and Vendor (else the
  // Packager's name without the address). German texts where german asks and
  // the package has them.
  OriginTexts TextsOf(const RpmOwner& owner, bool german);

  // The files the package lists directly below folder (which ends in '/')
  // whose names end in suffix, in the package's order (by path).
  std::vector<std::string> FilesBelow(const RpmOwner& owner, std::string_view folder,
                                      std::string_view suffix);

  // The file open at fd (the owner's file, as the caller reached it) against
  // the digest that the package recorded for it: one of the file_state texts
  // matches, differs, no-record (a ghost or configuration file, one the
  // package keeps from being verified, or one that another package's copy
  // replaced), unreadable (fd is no regular file) or not-checked (larger
  // than size_limit, or a digest libcrypto lacks).
  const char* Check(const RpmOwner& owner, int fd, std::uint64_t size_limit);

  const std::string& root() const { return root_; }

  // Loads librpm and opens the database now, as the first question would.
  void Prepare() { Open(); }

 private:
  // The open database; nullptr when there is none to read.
  RpmSession* Open();

  std::string root_;
  Loader load_;
  bool opened_ = false;
  std::unique_ptr<RpmSession> session_;
};

}  // namespace proclens::linux_port
