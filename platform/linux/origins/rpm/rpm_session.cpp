#include "platform/linux/origins/rpm/rpm_session.h"

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/linux/base/text.h"

namespace proclens::linux_port {
namespace {

// Enough for most of the packages whose programs one process list shows.
constexpr std::size_t kKeptPackages = 32;
// A larger package is asked through the database: the index would cost more
// memory than its queries cost time.
constexpr rpm_count_t kIndexedFiles = 4096;

bool IsGermanLocale(std::string_view locale) {
  return locale.substr(0, 2) == "de" && (locale.size() == 2 || std::strchr("_.@", locale[2]) != nullptr);
}

// The entry of the first German locale in the header's table of them, else 0.
rpm_count_t GermanEntry(const RpmLibrary& rpm, Header header, rpm_count_t entries) {
  rpmtd_s table{};
  if (rpm.headerGet(header, RPMTAG_HEADERI18NTABLE, &table, HEADERGET_MINMEM) == 0) return 0;
  rpm_count_t chosen = 0;
  const auto* locales = static_cast<const char* const*>(table.data);
  for (rpm_count_t i = 0; table.type == RPM_STRING_ARRAY_TYPE && i < table.count && i < entries; ++i) {
    if (IsGermanLocale(locales[i])) {
      chosen = i;
      break;
    }
  }
  rpm.rpmtdFreeData(&table);
  return chosen;
}

}  // namespace

std::unique_ptr<RpmSession> RpmSession::Open(const RpmLibrary& rpm, const std::string& root, const std::string& dbpath) {
  // librpm opens the database that %_dbpath names; another path stands in
  // for the system's only while it opens.
  static std::mutex opening;
  const std::lock_guard lock(opening);
  const bool other = dbpath != rpm.dbpath;
  if (other) rpm.rpmPushMacro(nullptr, "_dbpath", nullptr, dbpath.c_str(), RMIL_CMDLINE);
  auto session = OpenWithDbpath(rpm, root);
  if (other) rpm.rpmPopMacro(nullptr, "_dbpath");
  return session;
}

std::unique_ptr<RpmSession> RpmSession::OpenWithDbpath(const RpmLibrary& rpm, const std::string& root) {
  std::unique_ptr<RpmSession> session(new RpmSession(rpm));
  session->ts_.reset(rpm.rpmtsCreate());
  if (!session->ts_) return nullptr;
  // The headers' own digests and signatures are not checked at every read:
  // librpm still checks each header's structure, and what can write the
  // database can write anything in it.
  rpm.rpmtsSetVSFlags(session->ts_.get(), RPMVSF_NOHDRCHK | RPMVSF_MASK_NOHEADER);
  if (rpm.rpmtsSetRootDir(session->ts_.get(), root.c_str()) != 0 ||
      rpm.rpmtsOpenDB(session->ts_.get(), O_RDONLY) != 0)
    return nullptr;
  return session;
}

RpmIterator RpmSession::Find(rpmDbiTagVal index, const void* key, std::size_t length) {
  return RpmIterator(rpm_.rpmtsInitIterator(ts_.get(), index, key, length), {&rpm_});
}

RpmPackage& RpmSession::Keep(unsigned int record, Header h) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if ((*it)->record != record) continue;
    std::rotate(kept_.begin(), it, it + 1);
    return *kept_.front();
  }
  auto package = std::make_unique<RpmPackage>();
  package->record = record;
  package->header = RpmHeader(rpm_.headerLink(h), {&rpm_});
  package->files = RpmFiles(rpm_.rpmfilesNew(nullptr, h, RPMTAG_BASENAMES, RPMFI_FLAGS_VERIFY), {&rpm_});
  const rpm_count_t count = package->files ? rpm_.rpmfilesFC(package->files.get()) : 0;
  for (rpm_count_t i = 0; count <= kIndexedFiles && i < count; ++i) {
    if (const char* name = rpm_.rpmfilesBN(package->files.get(), static_cast<int>(i)))
      package->file_by_name.emplace(name, i);
  }
  if (kept_.size() == kKeptPackages) kept_.pop_back();
  kept_.push_front(std::move(package));
  return *kept_.front();
}

RpmPackage* RpmSession::Package(unsigned int record) {
  for (const auto& package : kept_) {
    if (package->record == record) return package->files ? package.get() : nullptr;
  }
  const RpmIterator found = Find(RPMDBI_PACKAGES, &record, sizeof record);
  Header h = found ? rpm_.rpmdbNextIterator(found.get()) : nullptr;
  if (h == nullptr) return nullptr;
  RpmPackage& package = Keep(record, h);
  return package.files ? &package : nullptr;
}

std::optional<std::pair<const RpmPackage*, unsigned int>> RpmSession::KeptListing(std::string_view path) const {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view folder = path.substr(0, slash + 1);
  const std::string_view name = path.substr(slash + 1);
  for (const auto& package : kept_) {
    const auto [first, last] = package->file_by_name.equal_range(name);
    for (auto it = first; it != last; ++it) {
      const int file = static_cast<int>(it->second);
      const char* dir = rpm_.rpmfilesDN(package->files.get(), rpm_.rpmfilesDI(package->files.get(), file));
      if (dir != nullptr && folder == dir) return std::pair(package.get(), it->second);
    }
  }
  return std::nullopt;
}

std::string RpmHeaderText(const RpmLibrary& rpm, Header header, rpmTagVal tag, bool german) {
  // Translated texts (Summary(de) where the package is built) are one entry
  // per locale of the header's table, "C" first; librpm would choose by the
  // environment, but the caller says which language it wants.
  rpmtd_s td{};
  if (rpm.headerGet(header, tag, &td, HEADERGET_RAW | HEADERGET_MINMEM) == 0) return {};
  std::string text;
  if (td.type == RPM_STRING_TYPE && td.data != nullptr) {
    text = static_cast<const char*>(td.data);
  } else if (td.type == RPM_I18NSTRING_TYPE && td.count > 0) {
    const auto* entries = static_cast<const char* const*>(td.data);
    const rpm_count_t chosen = german ? GermanEntry(rpm, header, td.count) : 0;
    text = entries[chosen][0] != '\0' ? entries[chosen] : entries[0];
  }
  rpm.rpmtdFreeData(&td);
  return std::string(Trim(text));
}

std::string RpmListedPath(const RpmLibrary& rpm, const RpmPackage& package, unsigned int file) {
  char* path = rpm.rpmfilesFN(package.files.get(), static_cast<int>(file));
  std::string listed = path != nullptr ? path : "";
  std::free(path);
  return listed;
}

}  // namespace proclens::linux_port
