#include "platform/linux/origins/dpkg/dpkg_file_index.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include <xxhash.h>

#include "platform/linux/base/unique_fd.h"
#include "platform/linux/origins/merged_usr.h"

namespace proclens::linux_port {
namespace {

// The largest list of a real system is about a megabyte.
constexpr std::size_t kListLimit = 64u << 20;
constexpr std::size_t kDiversionsLimit = 16u << 20;

constexpr std::string_view kListSuffix = ".list";

// Calls f for each line of text, without its line end. dpkg ends lines with
// '\n' alone; a '\r' before it belongs to the file name (a package may ship
// "/usr/bin/sudo\r", which must not stand for /usr/bin/sudo).
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    f(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// The index hashes every line of every list (160,000 on a desktop system)
// while the first click waits; XXH3 costs a fraction of std::hash there.
// Reading the lists passes megabytes through buffers of growing size, which
// the allocator keeps once they are freed; a window that asked about one
// program must not hold them for the rest of its run.
void ReturnFreedMemory() { ::malloc_trim(0); }

// Asks the kernel to read every list in advance, all at once. A question
// about one file reads all of them; when they are not in the page cache
// (after a while without use), reading them one by one waits for the disk
// thousands of times, and this lets those reads overlap (a quarter of the
// time here). Files that are cached cost one open and close each.
void PrefetchLists(const std::string& info_folder, const std::vector<std::string>& list_names) {
  for (const std::string& list_name : list_names) {
    UniqueFd fd(::open((info_folder + list_name + ".list").c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.valid()) ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_WILLNEED);
  }
}

// Whether a line of the text is exactly this one.
bool HasLine(std::string_view text, std::string_view line) {
  if (line.empty()) return false;
  if (text.starts_with(line) && (text.size() == line.size() || text[line.size()] == '\n')) return true;
  const std::string needle = "\n" + std::string(line) + "\n";
  if (::memmem(text.data(), text.size(), needle.data(), needle.size()) != nullptr) return true;
  // The last line may lack its line end.
  const std::string_view unended = std::string_view(needle).substr(0, needle.size() - 1);
  return text.ends_with(unended);
}

std::uint64_t HashOf(std::string_view merged_path) {
  return XXH3_64bits(merged_path.data(), merged_path.size());
}

// The folder's names that end in suffix, without it, sorted.
std::vector<std::string> ListNames(const std::string& info_folder, std::string_view suffix = kListSuffix) {
  std::vector<std::string> names;
  struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  std::unique_ptr<DIR, CloseDir> dir(::opendir(info_folder.c_str()));
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() > suffix.size() && name.ends_with(suffix))
      names.emplace_back(name.substr(0, name.size() - suffix.size()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string InfoFolder(const std::string& root) { return root + "var/lib/dpkg/info/"; }

constexpr std::string_view kMd5sumsSuffix = ".md5sums";

// A list's text made from an md5sums file's ("SUM  path" lines): "/path" lines.
void ListOfMd5sums(std::string_view md5sums, std::string& list) {
  list.clear();
  ForEachLine(md5sums, [&list](std::string_view line) {
    const std::size_t blanks = line.find("  ");
    if (blanks == std::string_view::npos) return;
    list.append("/").append(line.substr(blanks + 2)).append("\n");
  });
}

}  // namespace

std::optional<std::string_view> DpkgFileIndex::ReadList(const std::string& list_name, std::string& buffer) const {
  if (!from_md5sums_) return ReadWholeFile(InfoFolder(root_) + list_name + ".list", kListLimit, buffer);
  const auto md5sums = ReadWholeFile(Md5sumsPath(list_name), kListLimit);
  if (!md5sums) return std::nullopt;
  ListOfMd5sums(*md5sums, buffer);
  return std::string_view(buffer);
}

std::string DpkgFileIndex::Md5sumsPath(const std::string& list_name) const {
  return root_ + (from_md5sums_ ? "var/lib/dpkg/status.d/" : "var/lib/dpkg/info/") + list_name + ".md5sums";
}

std::vector<DpkgDiversion> ParseDiversions(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
  std::vector<DpkgDiversion> diversions;
  for (std::size_t i = 0; i + 3 <= lines.size(); i += 3) {
    if (lines[i].empty() || lines[i + 1].empty()) continue;
    diversions.push_back({MergedUsrPath(lines[i]), MergedUsrPath(lines[i + 1]), std::string(lines[i + 2])});
  }
  return diversions;
}

std::optional<std::string> ListedForm(std::string_view list_text, std::string_view merged_path) {
  // Lists name files by absolute paths; any other line is no file.
  if (merged_path.empty() || merged_path.front() != '/') return std::nullopt;
  if (HasLine(list_text, merged_path)) return std::string(merged_path);
  const std::string_view unmerged = merged_path.substr(std::min<std::size_t>(4, merged_path.size()));
  if (merged_path.starts_with("/usr/") && UnderLinkedFolder(unmerged) && HasLine(list_text, unmerged))
    return std::string(unmerged);
  return std::nullopt;
}

DpkgFileIndex DpkgFileIndex::Open(const std::string& root) {
  DpkgFileIndex index;
  index.root_ = root.empty() || root.back() != '/' ? root + '/' : root;
  index.list_names_ = ListNames(InfoFolder(index.root_));
  if (index.list_names_.empty()) {
    // Distroless images keep no lists: each package's files are the paths of
    // its md5sums beside its record in status.d.
    index.list_names_ = ListNames(index.root_ + "var/lib/dpkg/status.d/", kMd5sumsSuffix);
    index.from_md5sums_ = !index.list_names_.empty();
  }
  if (const auto text = ReadWholeFile(index.root_ + "var/lib/dpkg/diversions", kDiversionsLimit))
    index.diversions_ = ParseDiversions(*text);
  return index;
}

void DpkgFileIndex::BuildIndex() {
  const std::string info = InfoFolder(root_);
  PrefetchLists(info, list_names_);
  std::string aliased;
  std::string buffer;
  for (std::uint32_t id = 0; id < list_names_.size(); ++id) {
    const auto text = ReadList(list_names_[id], buffer);
    if (!text) continue;
    ForEachLine(*text, [&](std::string_view line) {
      if (line.empty() || line.front() != '/') return;
      std::string_view merged = line;
      if (UnderLinkedFolder(line)) {
        aliased.assign("/usr").append(line);
        merged = aliased;
      }
      entries_.push_back({HashOf(merged), id, kNoEntry});
    });
  }
  BuildBuckets();
  indexed_ = true;
  ReturnFreedMemory();
}

void DpkgFileIndex::BuildBuckets() {
  std::size_t size = 1024;
  while (size < 2 * entries_.size()) size *= 2;
  buckets_.assign(size, kNoEntry);
  // Entries of one package stay in list order within a bucket's chain.
  for (std::size_t i = entries_.size(); i-- > 0;) {
    const std::size_t bucket = entries_[i].hash & (size - 1);
    entries_[i].next = buckets_[bucket];
    buckets_[bucket] = static_cast<std::uint32_t>(i);
  }
}

std::optional<std::uint32_t> DpkgFileIndex::PackageId(std::string_view list_name) const {
  const auto it = std::lower_bound(list_names_.begin(), list_names_.end(), list_name);
  if (it == list_names_.end() || *it != list_name) return std::nullopt;
  return static_cast<std::uint32_t>(it - list_names_.begin());
}

std::vector<DpkgOwner> DpkgFileIndex::ListedBy(std::string_view merged_path) {
  // A window's first click asks about one file, twice (its texts, its check):
  // one pass over the lists answers that without building the index, which
  // the next file asked about builds (unless it was built ahead).
  if (asked_ && merged_path == last_asked_) return last_answer_;
  std::vector<DpkgOwner> owners;
  if (!asked_ && !indexed_) {
    owners = ScanLists(merged_path);
  } else {
    if (!indexed_) BuildIndex();
    owners = FromIndex(merged_path);
  }
  asked_ = true;
  last_asked_ = merged_path;
  last_answer_ = owners;
  return owners;
}

std::vector<DpkgOwner> DpkgFileIndex::ScanLists(std::string_view merged_path) const {
  if (merged_path.empty() || merged_path.front() != '/') return {};
  PrefetchLists(InfoFolder(root_), list_names_);
  std::vector<DpkgOwner> owners;
  std::string buffer;
  for (const std::string& list_name : list_names_) {
    const auto text = ReadList(list_name, buffer);
    if (!text) continue;
    if (auto listed = ListedForm(*text, merged_path)) owners.push_back({list_name, std::move(*listed)});
  }
  ReturnFreedMemory();
  return owners;
}

std::vector<DpkgOwner> DpkgFileIndex::FromIndex(std::string_view merged_path) const {
  std::vector<DpkgOwner> owners;
  if (buckets_.empty()) return owners;
  const std::uint64_t hash = HashOf(merged_path);
  std::vector<std::uint32_t> packages;
  for (std::uint32_t i = buckets_[hash & (buckets_.size() - 1)]; i != kNoEntry; i = entries_[i].next) {
    if (entries_[i].hash == hash) packages.push_back(entries_[i].package);
  }
  // The chain holds the entries in list-name order.
  packages.erase(std::unique(packages.begin(), packages.end()), packages.end());
  for (const std::uint32_t package : packages) {
    const std::string& list_name = list_names_[package];
    std::string buffer;
    const auto text = ReadList(list_name, buffer);
    if (!text) continue;
    if (auto listed = ListedForm(*text, merged_path)) owners.push_back({list_name, std::move(*listed)});
  }
  return owners;
}

std::optional<DpkgOwner> DpkgFileIndex::OwnerOf(std::string_view path) {
  // The lists are line-based: such a path could only match lines of a
  // package that lists other files, one after the other.
  if (path.find('\n') != std::string_view::npos) return std::nullopt;
  const std::string merged = MergedUsrPath(path);
  for (const DpkgDiversion& diversion : diversions_) {
    if (merged == diversion.diverted) {
      // The diverted file is the one the original package shipped.
      for (DpkgOwner& owner : ListedBy(diversion.original)) {
        if (owner.package() != diversion.by) return std::move(owner);
      }
      return std::nullopt;
    }
    if (merged == diversion.original) {
      // What stands at the original path is the diverting package's, if it ships one.
      for (DpkgOwner& owner : ListedBy(diversion.original)) {
        if (owner.package() == diversion.by) return std::move(owner);
      }
      return std::nullopt;
    }
  }
  std::vector<DpkgOwner> owners = ListedBy(merged);
  if (owners.empty()) return std::nullopt;
  return std::move(owners.front());
}

std::vector<std::string> DpkgFileIndex::FilesBelow(std::string_view list_name, std::string_view folder,
                                                   std::string_view suffix) const {
  std::vector<std::string> files;
  if (!PackageId(list_name)) return files;
  std::string buffer;
  const auto text = ReadList(std::string(list_name), buffer);
  if (!text) return files;
  ForEachLine(*text, [&](std::string_view line) {
    if (!line.starts_with(folder)) return;
    const std::string_view name = line.substr(folder.size());
    if (name.size() > suffix.size() && name.ends_with(suffix) && name.find('/') == std::string_view::npos)
      files.emplace_back(line);
  });
  return files;
}

}  // namespace proclens::linux_port
