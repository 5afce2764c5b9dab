#pragma once
// The RPM database as librpm opens it, with the packages read last kept at
// hand: the programs of one package tend to be asked about together (the
// processes of one application; owner, texts and check in turn), and every
// question to the database is a query of its own.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/linux/desktop/appstream_metainfo.h"
#include "platform/linux/origins/rpm/rpm_library.h"

namespace proclens::linux_port {

// Frees what librpm made through the library's own function.
template <typename T, auto Function>
struct RpmFree {
  const RpmLibrary* rpm;
  void operator()(T* made) const { (rpm->*Function)(made); }
};
using RpmHeader = std::unique_ptr<headerToken_s, RpmFree<headerToken_s, &RpmLibrary::headerFree>>;
using RpmFiles = std::unique_ptr<rpmfiles_s, RpmFree<rpmfiles_s, &RpmLibrary::rpmfilesFree>>;
using RpmIterator =
    std::unique_ptr<rpmdbMatchIterator_s, RpmFree<rpmdbMatchIterator_s, &RpmLibrary::rpmdbFreeIterator>>;
using RpmTransactionSet = std::unique_ptr<rpmts_s, RpmFree<rpmts_s, &RpmLibrary::rpmtsFree>>;

struct RpmPackage {
  unsigned int record = 0;  // the header's place in the database
  RpmHeader header;
  RpmFiles files;
  // The files by base name, for packages of up to kIndexedFiles files.
  std::multimap<std::string, unsigned int, std::less<>> file_by_name;
  // The metainfo it ships, in English and in German, once asked.
  std::optional<std::vector<MetainfoTexts>> metainfo[2];
};

class RpmSession {
 public:
  // The database at dbpath below root, opened read-only; nullptr when it cannot be.
  static std::unique_ptr<RpmSession> Open(const RpmLibrary& rpm, const std::string& root, const std::string& dbpath);

  const RpmLibrary& rpm() const { return rpm_; }

  // The headers that index holds under key (for RPMDBI_INSTFILENAMES, a
  // file's absolute path; for RPMDBI_PACKAGES, a record).
  RpmIterator Find(rpmDbiTagVal index, const void* key, std::size_t length);

  // h, the header of record (from an iterator), as the package read last.
  RpmPackage& Keep(unsigned int record, Header h);

  // The package of record, kept or read; nullptr when the database has none.
  RpmPackage* Package(unsigned int record);

  // A kept package that lists path, and the file's place in it.
  std::optional<std::pair<const RpmPackage*, unsigned int>> KeptListing(std::string_view path) const;

 private:
  explicit RpmSession(const RpmLibrary& rpm) : rpm_(rpm), ts_(nullptr, {&rpm}) {}
  static std::unique_ptr<RpmSession> OpenWithDbpath(const RpmLibrary& rpm, const std::string& root);

  const RpmLibrary& rpm_;
  RpmTransactionSet ts_;
  std::deque<std::unique_ptr<RpmPackage>> kept_;  // the last read first
};

// A text of a header, German where german asks and the header has it.
std::string RpmHeaderText(const RpmLibrary& rpm, Header header, rpmTagVal tag, bool german);

// The path of a package's file as it lists it.
std::string RpmListedPath(const RpmLibrary& rpm, const RpmPackage& package, unsigned int file);

}  // namespace proclens::linux_port
