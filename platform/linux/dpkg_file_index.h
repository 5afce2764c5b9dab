#pragma once
// Which installed package a file belongs to, from dpkg's file lists
// (var/lib/dpkg/info/<package>.list) and its diversions. Debian's merged /usr
// is part of the rule: /bin/x and /usr/bin/x name the same file, and likewise
// for /sbin and the /lib folders.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace proclens::linux_port {

// The path as it stands, or under /usr when it lies below one of the folders
// that merged /usr makes links to.
std::string MergedUsrPath(std::string_view path);

struct DpkgOwner {
  std::string list_name;    // the list's name: "bash", or "libc6:amd64" for multi-arch
  std::string listed_path;  // the path as the package's list writes it
  std::string package() const { return list_name.substr(0, list_name.find(':')); }
};

class DpkgFileIndex {
 public:
  // Reads root + "var/lib/dpkg/info/*.list" and root + "var/lib/dpkg/diversions".
  // A missing or unreadable file leaves out what it would have said.
  static DpkgFileIndex Load(const std::string& root);

  // The package that installed the file at this absolute path, diversions
  // applied: a diverted file belongs to the package that ships its original
  // path, and the file at the original path to the diverting package when that
  // package ships one. nullopt when no package does.
  std::optional<DpkgOwner> OwnerOf(std::string_view path) const;

  // The files a package lists below folder (which ends in '/') whose names
  // end in suffix, in the list's order.
  std::vector<std::string> FilesBelow(std::string_view list_name, std::string_view folder,
                                      std::string_view suffix) const;

  std::size_t entries() const { return entries_.size(); }
  std::size_t packages() const { return list_names_.size(); }

 private:
  struct Diversion {
    std::string original;  // merged-/usr form
    std::string diverted;
    std::string by;        // the diverting package, ":" for a local diversion
  };

  // The packages whose lists hold the path (merged-/usr form), in list-name
  // order, each with the line as listed.
  std::vector<DpkgOwner> ListedBy(std::string_view merged_path) const;
  std::optional<std::uint32_t> PackageId(std::string_view list_name) const;

  std::string root_;
  std::vector<std::string> list_names_;  // sorted
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
  // Per package, the files below /usr/share that say what it is (AppStream
  // metainfo, desktop entries), kept so that no list is read twice for them.
  std::vector<std::vector<std::string>> share_files_;
  std::vector<Diversion> diversions_;
};

// A whole file's bytes; nullopt when it cannot be opened or read, or is larger
// than limit (a damaged database must not fill the memory).
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t limit);
// The same into a buffer that is reused from file to file: the bytes are the
// start of the buffer, which only ever grows.
std::optional<std::string_view> ReadWholeFile(const std::string& path, std::size_t limit,
                                              std::string& buffer);

}  // namespace proclens::linux_port
