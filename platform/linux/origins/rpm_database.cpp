#include "platform/linux/origins/rpm_database.h"

#include <fcntl.h>
#include <rpm/rpmpgp.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "platform/linux/dpkg_file_index.h"
#include "platform/linux/dpkg_status.h"
#include "platform/linux/origins/file_digest.h"
#include "platform/linux/origins/metainfo_choice.h"
#include "platform/linux/origins/rpm_library.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {
namespace {

// The main file of each of librpm's database formats (sqlite, ndb, Berkeley DB).
constexpr const char* kDatabaseFiles[] = {"rpmdb.sqlite", "Packages.db", "Packages"};

// librpm's numbers for file digests (OpenPGP's), with libcrypto's names.
struct DigestAlgorithm {
  int rpm;
  const char* crypto;
};
constexpr DigestAlgorithm kDigestAlgorithms[] = {
    {PGPHASHALGO_MD5, "MD5"},       {PGPHASHALGO_SHA1, "SHA1"},     {PGPHASHALGO_RIPEMD160, "RIPEMD160"},
    {PGPHASHALGO_MD2, "MD2"},       {PGPHASHALGO_SHA256, "SHA256"}, {PGPHASHALGO_SHA384, "SHA384"},
    {PGPHASHALGO_SHA512, "SHA512"}, {PGPHASHALGO_SHA224, "SHA224"},
    // rpm 4.19 and later; OpenPGP's numbers for them.
    {12, "SHA3-256"},               {14, "SHA3-512"},
};

const char* CryptoName(int rpm_algorithm) {
  for (const DigestAlgorithm& algorithm : kDigestAlgorithms) {
    if (algorithm.rpm == rpm_algorithm) return algorithm.crypto;
  }
  return nullptr;
}

struct MallocFree {
  void operator()(char* text) const { std::free(text); }
};
using MallocText = std::unique_ptr<char, MallocFree>;

struct TsFree {
  const RpmLibrary* rpm;
  void operator()(rpmts_s* ts) const { rpm->rpmtsFree(ts); }
};
struct HeaderFree {
  const RpmLibrary* rpm;
  void operator()(headerToken_s* header) const { rpm->headerFree(header); }
};
struct FilesFree {
  const RpmLibrary* rpm;
  void operator()(rpmfiles_s* files) const { rpm->rpmfilesFree(files); }
};
struct IteratorFree {
  const RpmLibrary* rpm;
  void operator()(rpmdbMatchIterator_s* iterator) const { rpm->rpmdbFreeIterator(iterator); }
};
using Iterator = std::unique_ptr<rpmdbMatchIterator_s, IteratorFree>;

bool HasDatabase(const std::string& folder) {
  for (const char* name : kDatabaseFiles) {
    struct stat st {};
    if (::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
  }
  return false;
}

// The other name that merged /usr gives the file: /usr/bin/x for /bin/x and
// /bin/x for /usr/bin/x, where that folder is one of the merged ones.
std::optional<std::string> MergedUsrAlias(const std::string& path) {
  std::string merged = MergedUsrPath(path);
  if (merged != path) return merged;
  constexpr std::string_view kUsr = "/usr";
  if (path.compare(0, kUsr.size() + 1, "/usr/") == 0) {
    std::string bare = path.substr(kUsr.size());
    if (MergedUsrPath(bare) == path) return bare;
  }
  return std::nullopt;
}

bool IsGermanLocale(std::string_view locale) {
  return locale.substr(0, 2) == "de" && (locale.size() == 2 || std::strchr("_.@", locale[2]) != nullptr);
}

std::string_view BaseName(std::string_view path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

// The open database, and the package read last: the programs of one package
// tend to be asked about one after another, owner, texts and check in turn.
struct RpmDatabase::Session {
  explicit Session(const RpmLibrary* library)
      : rpm(library), ts(nullptr, TsFree{library}), header(nullptr, HeaderFree{library}),
        files(nullptr, FilesFree{library}) {}

  // Makes h, the header of record, the package read last.
  void Keep(unsigned int record, Header h) {
    files.reset();
    header.reset(rpm->headerLink(h));
    files.reset(rpm->rpmfilesNew(nullptr, header.get(), RPMTAG_BASENAMES, RPMFI_FLAGS_VERIFY));
    kept = record;
  }

  // The package of record, with its files; false when the database has none.
  bool Load(unsigned int record) {
    if (header && files && kept == record) return true;
    Iterator found(rpm->rpmtsInitIterator(ts.get(), RPMDBI_PACKAGES, &record, sizeof record),
                   IteratorFree{rpm});
    Header h = found ? rpm->rpmdbNextIterator(found.get()) : nullptr;
    if (h == nullptr) return false;
    Keep(record, h);
    return files != nullptr;
  }

  std::string ListedPath(unsigned int file) const {
    const MallocText path(rpm->rpmfilesFN(files.get(), static_cast<int>(file)));
    return path ? std::string(path.get()) : std::string();
  }

  // A text of the header. Translated texts (Summary(de) where the package is
  // built) are kept as one entry per locale of the header's table, "C" first;
  // librpm would choose by the environment, but the caller says which
  // language it wants.
  std::string Text(rpmTagVal tag, bool german) const {
    rpmtd_s td{};
    if (rpm->headerGet(header.get(), tag, &td, HEADERGET_RAW | HEADERGET_MINMEM) == 0) return {};
    std::string text;
    if (td.type == RPM_STRING_TYPE && td.data != nullptr) {
      text = static_cast<const char*>(td.data);
    } else if (td.type == RPM_I18NSTRING_TYPE && td.count > 0) {
      const auto* entries = static_cast<const char* const*>(td.data);
      const rpm_count_t chosen = german ? GermanEntry(td.count) : 0;
      text = entries[chosen][0] != '\0' ? entries[chosen] : entries[0];
    }
    rpm->rpmtdFreeData(&td);
    return std::string(Trim(text));
  }

  // The entry of the first German locale in the header's table, else 0.
  rpm_count_t GermanEntry(rpm_count_t entries) const {
    rpmtd_s table{};
    if (rpm->headerGet(header.get(), RPMTAG_HEADERI18NTABLE, &table, HEADERGET_MINMEM) == 0) return 0;
    rpm_count_t chosen = 0;
    const auto* locales = static_cast<const char* const*>(table.data);
    for (rpm_count_t i = 0; i < table.count && i < entries; ++i) {
      if (table.type == RPM_STRING_ARRAY_TYPE && IsGermanLocale(locales[i])) {
        chosen = i;
        break;
      }
    }
    rpm->rpmtdFreeData(&table);
    return chosen;
  }

  const RpmLibrary* rpm;
  std::unique_ptr<rpmts_s, TsFree> ts;
  unsigned int kept = 0;
  std::unique_ptr<headerToken_s, HeaderFree> header;
  std::unique_ptr<rpmfiles_s, FilesFree> files;
};

RpmDatabase::RpmDatabase(std::string root, Loader load) : root_(std::move(root)), load_(load) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

RpmDatabase::~RpmDatabase() = default;

RpmDatabase& RpmDatabase::System() {
  static RpmDatabase database("/");
  return database;
}

RpmDatabase::Session* RpmDatabase::Open() {
  if (opened_) return session_.get();
  opened_ = true;
  const RpmLibrary* rpm = load_();
  if (rpm == nullptr) return nullptr;
  if (rpm->dbpath.empty() || !HasDatabase(root_ + rpm->dbpath.substr(1))) return nullptr;
  auto session = std::make_unique<Session>(rpm);
  session->ts.reset(rpm->rpmtsCreate());
  if (!session->ts || rpm->rpmtsSetRootDir(session->ts.get(), root_.c_str()) != 0 ||
      rpm->rpmtsOpenDB(session->ts.get(), O_RDONLY) != 0)
    return nullptr;
  session_ = std::move(session);
  return session_.get();
}

std::optional<RpmOwner> RpmDatabase::OwnerOf(const std::string& real_path) {
  Session* session = Open();
  if (session == nullptr || real_path.empty() || real_path.front() != '/') return std::nullopt;
  const RpmLibrary* rpm = session->rpm;
  std::vector<std::string> names = {real_path};
  if (auto alias = MergedUsrAlias(real_path)) names.push_back(std::move(*alias));

  std::optional<RpmOwner> found;
  for (const std::string& name : names) {
    Iterator matches(rpm->rpmtsInitIterator(session->ts.get(), RPMDBI_INSTFILENAMES, name.c_str(), 0),
                     IteratorFree{rpm});
    while (Header h = matches ? rpm->rpmdbNextIterator(matches.get()) : nullptr) {
      const unsigned int record = rpm->rpmdbGetIteratorOffset(matches.get());
      const unsigned int file = rpm->rpmdbGetIteratorFileNum(matches.get());
      session->Keep(record, h);
      if (!session->files || file >= rpm->rpmfilesFC(session->files.get())) continue;
      RpmOwner owner{session->Text(RPMTAG_NAME, false), session->ListedPath(file), record, file};
      // A package whose copy of a shared file another package replaced, or
      // that never wrote it (another architecture's, a path kept free of
      // packages), names the file only when no other package does.
      if (rpm->rpmfilesFState(session->files.get(), static_cast<int>(file)) == RPMFILE_STATE_NORMAL) return owner;
      if (!found) found = std::move(owner);
    }
  }
  return found;
}

std::vector<std::string> RpmDatabase::FilesBelow(const RpmOwner& owner, std::string_view folder,
                                                 std::string_view suffix) {
  std::vector<std::string> below;
  Session* session = Open();
  if (session == nullptr || !session->Load(owner.record)) return below;
  const RpmLibrary* rpm = session->rpm;
  rpmfiles files = session->files.get();
  const int count = static_cast<int>(rpm->rpmfilesFC(files));
  for (int i = 0; i < count; ++i) {
    const char* dir = rpm->rpmfilesDN(files, rpm->rpmfilesDI(files, i));
    const char* name = rpm->rpmfilesBN(files, i);
    if (dir == nullptr || name == nullptr || folder != dir) continue;
    const std::string_view base(name);
    if (base.size() >= suffix.size() && base.substr(base.size() - suffix.size()) == suffix)
      below.push_back(std::string(folder).append(base));
  }
  return below;
}

PackageTexts RpmDatabase::TextsOf(const RpmOwner& owner, bool german) {
  PackageTexts texts;
  texts.product = owner.package;
  Session* session = Open();
  if (session == nullptr || !session->Load(owner.record)) return texts;
  texts.description = session->Text(RPMTAG_SUMMARY, german);
  texts.company = session->Text(RPMTAG_VENDOR, german);
  if (texts.company.empty()) texts.company = MaintainerName(session->Text(RPMTAG_PACKAGER, german));

  std::vector<std::string> metainfo;
  for (const char* folder : kMetainfoFolders) {
    for (std::string& file : FilesBelow(owner, folder, ".xml")) metainfo.push_back(std::move(file));
  }
  const std::string program(BaseName(owner.listed_path));
  if (const auto chosen = ChooseMetainfo(std::move(metainfo), root_, program, german)) {
    if (!chosen->summary.empty()) texts.description = chosen->summary;
    if (!chosen->name.empty()) texts.product = chosen->name;
    if (!chosen->developer.empty()) texts.company = chosen->developer;
  }
  return texts;
}

const char* RpmDatabase::Check(const RpmOwner& owner, int fd, std::uint64_t size_limit) {
  Session* session = Open();
  if (session == nullptr || !session->Load(owner.record)) return file_state::kNoRecord;
  const RpmLibrary* rpm = session->rpm;
  rpmfiles files = session->files.get();
  if (owner.file >= rpm->rpmfilesFC(files)) return file_state::kNoRecord;
  const int file = static_cast<int>(owner.file);
  // What the package expects to change (configuration, ghosts such as logs)
  // or asks not to have its digest verified has no digest to hold it to.
  if ((rpm->rpmfilesFFlags(files, file) & (RPMFILE_GHOST | RPMFILE_CONFIG)) != 0 ||
      (rpm->rpmfilesVFlags(files, file) & RPMVERIFY_FILEDIGEST) == 0 ||
      rpm->rpmfilesFState(files, file) != RPMFILE_STATE_NORMAL)
    return file_state::kNoRecord;
  int algorithm = 0;
  std::size_t length = 0;
  const unsigned char* recorded = rpm->rpmfilesFDigest(files, file, &algorithm, &length);
  if (recorded == nullptr || length == 0) return file_state::kNoRecord;

  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return file_state::kUnreadable;
  // A file of another size is another file, however large.
  if (static_cast<rpm_loff_t>(st.st_size) != rpm->rpmfilesFSize(files, file)) return file_state::kDiffers;
  const char* crypto_name = CryptoName(algorithm);
  if (crypto_name == nullptr) return file_state::kNotChecked;
  const DescriptorDigest digest = DigestOfDescriptor(fd, crypto_name, size_limit);
  switch (digest.outcome) {
    case DigestOutcome::kOk:
      return digest.bytes.size() == length && std::memcmp(digest.bytes.data(), recorded, length) == 0
                 ? file_state::kMatches
                 : file_state::kDiffers;
    case DigestOutcome::kUnreadable:
      return file_state::kUnreadable;
    case DigestOutcome::kTooLarge:
    case DigestOutcome::kUnsupported:
      break;
  }
  return file_state::kNotChecked;
}

}  // namespace proclens::linux_port
