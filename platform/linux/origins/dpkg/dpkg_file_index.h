#pragma once
// Which installed package a file belongs to, from dpkg's file lists
// (var/lib/dpkg/info/<package>.list) and its diversions. Debian's merged /usr
// is part of the rule: /bin/x and /usr/bin/x name the same file, and likewise
// for /sbin and the /lib folders.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/base/whole_file.h"

namespace proclens::linux_port {

struct DpkgOwner {
  std::string list_name;    // the list's name: "bash", or "libc6:amd64" for multi-arch
  std::string listed_path;  // the path as the package's list writes it
  std::string package() const { return list_name.substr(0, list_name.find(':')); }
};

// A diversion, as dpkg's diversions file keeps it in three lines: the
// original path, where the diverted file went, and the diverting package.
struct DpkgDiversion {
  std::string original;  // merged-/usr form
  std::string diverted;  // merged-/usr form
  std::string by;        // the diverting package, ":" for a local diversion
};

// The diversions in the text of a diversions file; an incomplete last one,
// and one without both paths, are left out.
std::vector<DpkgDiversion> ParseDiversions(std::string_view text);

// The line of a package's list (its text) that names the file at this path
// (merged-/usr form), in the form the list writes it: as merged /usr has it,
// or below the folder that links into /usr. Lines are whole: "\r" or any
// other character after the path makes another name. nullopt when no line does.
std::optional<std::string> ListedForm(std::string_view list_text, std::string_view merged_path);

class DpkgFileIndex {
 public:
  // The lists' names (root + "var/lib/dpkg/info/*.list") and the diversions
  // (root + "var/lib/dpkg/diversions"); the lists themselves are read when
  // asked. A missing or unreadable file leaves out what it would have said.
  static DpkgFileIndex Open(const std::string& root);

  // The package that installed the file at this absolute path, diversions
  // applied: a diverted file belongs to the package that ships its original
  // path, and the file at the original path to the diverting package when that
  // package ships one. nullopt when no package does, and for a path with a
  // line break, which no line of a list can name.
  // The first file asked about is looked for in one pass over the lists; the
  // index of every listed path is built at the first question about another.
  std::optional<DpkgOwner> OwnerOf(std::string_view path);

  // Builds the index of every listed path now rather than at the second
  // question.
  void IndexAll() {
    if (!indexed_) BuildIndex();
  }

  // Where the package's recorded sums are: info/NAME.md5sums, or beside its
  // record in status.d where the database keeps no lists (distroless images).
  std::string Md5sumsPath(const std::string& list_name) const;

  // The files a package lists directly below folder (which ends in '/')
  // whose names end in suffix, in the list's order.
  std::vector<std::string> FilesBelow(std::string_view list_name, std::string_view folder,
                                      std::string_view suffix) const;

 private:
  // The packages whose lists hold the path (merged-/usr form), in list-name
  // order, each with the line as listed.
  std::vector<DpkgOwner> ListedBy(std::string_view merged_path);
  std::vector<DpkgOwner> ScanLists(std::string_view merged_path) const;
  std::vector<DpkgOwner> FromIndex(std::string_view merged_path) const;
  void BuildIndex();
  std::optional<std::uint32_t> PackageId(std::string_view list_name) const;

  // A package's list as text, read into buffer.
  std::optional<std::string_view> ReadList(const std::string& list_name, std::string& buffer) const;

  std::string root_;
  std::vector<std::string> list_names_;  // sorted
  bool from_md5sums_ = false;            // status.d's md5sums stand for the lists
  // Every listed path as the hash of its merged-/usr form and its package,
  // chained by hash bucket. Only hashes are kept, not the paths (ten
  // megabytes on a desktop system); a hit is confirmed against the list
  // itself, so a collision never names a wrong package.
  struct Entry {
    std::uint64_t hash;
    std::uint32_t package;
    std::uint32_t next;  // the next entry of the bucket, kNoEntry at its end
  };
  static constexpr std::uint32_t kNoEntry = UINT32_MAX;
  void BuildBuckets();
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> buckets_;  // a power of two in size
  bool indexed_ = false;
  std::vector<DpkgDiversion> diversions_;
  // The last question and its answer.
  bool asked_ = false;
  std::string last_asked_;
  std::vector<DpkgOwner> last_answer_;
};

}  // namespace proclens::linux_port
