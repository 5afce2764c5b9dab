#include "platform/linux/origins/rpm/rpm_database.h"

#include <rpm/rpmpgp.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/linux/base/kept_folders.h"
#include "platform/linux/base/text.h"
#include "platform/linux/origins/merged_usr.h"
#include "platform/linux/origins/file_digest.h"
#include "platform/linux/origins/package_files.h"
#include "platform/linux/origins/rpm/rpm_library.h"
#include "platform/linux/origins/rpm/rpm_session.h"
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

// Where else a root's own database may lie: a container's image has its own
// configuration, which this system's does not read (Fedora keeps it in
// /usr/lib/sysimage/rpm, and /var/lib/rpm is a link there).
constexpr const char* kOtherDatabasePaths[] = {"/usr/lib/sysimage/rpm", "/var/lib/rpm"};

// Whether the folders from root (which ends in '/') down to dbpath belong to
// root, none a link, and none may be written by others.
bool FoldersKeptBelow(const std::string& root, std::string_view dbpath) {
  std::string folder = root.substr(0, root.size() - 1);
  for (std::size_t at = 1; at <= dbpath.size();) {
    const std::size_t slash = dbpath.find('/', at);
    folder += "/" + std::string(dbpath.substr(at, slash - at));
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || !IsKeptByRoot(st)) return false;
    if (slash == std::string_view::npos) break;
    at = slash + 1;
  }
  return true;
}

// A database is the system's word only where root alone can write it: its
// folder, the folders above, and its main file.
bool HasSystemDatabase(const std::string& root, std::string_view dbpath) {
  const std::string folder = root + std::string(dbpath.substr(1));
  // The host's own folders down to a root below /proc (a process's) say
  // nothing of it: whose word that root is, is judged where it is asked.
  const bool process_root = root.starts_with("/proc/");
  if (!(process_root || FoldersKeptByRoot(root)) || !FoldersKeptBelow(root, dbpath)) return false;
  for (const char* name : kDatabaseFiles) {
    struct stat st {};
    if (::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) return IsKeptByRoot(st);
  }
  return false;
}

bool IsNormal(const RpmLibrary& rpm, const RpmPackage& package, unsigned int file) {
  return rpm.rpmfilesFState(package.files.get(), static_cast<int>(file)) == RPMFILE_STATE_NORMAL;
}

}  // namespace

RpmDatabase::RpmDatabase(std::string root, Loader load) : root_(std::move(root)), load_(load) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

RpmDatabase::~RpmDatabase() = default;

RpmSession* RpmDatabase::Open() {
  if (opened_) return session_.get();
  opened_ = true;
  const RpmLibrary* rpm = load_();
  if (rpm == nullptr || rpm->dbpath.empty()) return nullptr;
  std::vector<std::string> dbpaths = {rpm->dbpath};
  if (root_ != "/") dbpaths.insert(dbpaths.end(), std::begin(kOtherDatabasePaths), std::end(kOtherDatabasePaths));
  for (const std::string& dbpath : dbpaths) {
    if (!HasSystemDatabase(root_, dbpath)) continue;
    session_ = RpmSession::Open(*rpm, root_, dbpath);
    return session_.get();
  }
  return nullptr;
}

std::optional<RpmOwner> RpmDatabase::OwnerOf(const std::string& real_path) {
  RpmSession* session = Open();
  if (session == nullptr || real_path.empty() || real_path.front() != '/') return std::nullopt;
  const RpmLibrary& rpm = session->rpm();
  std::vector<std::string> names = {real_path};
  if (auto alias = MergedUsrAlias(real_path)) names.push_back(std::move(*alias));
  auto owner = [&](const RpmPackage& package, unsigned int file) {
    return RpmOwner{RpmHeaderText(rpm, package.header.get(), RPMTAG_NAME, false),
                    RpmListedPath(rpm, package, file), package.record, file};
  };

  // A sibling of a program asked about before needs no query.
  for (const std::string& name : names) {
    const auto kept = session->KeptListing(name);
    if (kept && IsNormal(rpm, *kept->first, kept->second)) return owner(*kept->first, kept->second);
  }
  std::optional<RpmOwner> found;
  for (const std::string& name : names) {
    const RpmIterator matches = session->Find(RPMDBI_INSTFILENAMES, name.c_str(), 0);
    while (Header h = matches ? rpm.rpmdbNextIterator(matches.get()) : nullptr) {
      const unsigned int file = rpm.rpmdbGetIteratorFileNum(matches.get());
      const RpmPackage& package = session->Keep(rpm.rpmdbGetIteratorOffset(matches.get()), h);
      if (!package.files || file >= rpm.rpmfilesFC(package.files.get())) continue;
      // A package whose copy of a shared file another package replaced, or
      // that never wrote it (another architecture's, a path kept free of
      // packages), names the file only when no other package does.
      if (IsNormal(rpm, package, file)) return owner(package, file);
      if (!found) found = owner(package, file);
    }
  }
  return found;
}

std::vector<std::string> RpmDatabase::FilesBelow(const RpmOwner& owner, std::string_view folder,
                                                 std::string_view suffix) {
  std::vector<std::string> below;
  RpmSession* session = Open();
  const RpmPackage* package = session != nullptr ? session->Package(owner.record) : nullptr;
  if (package == nullptr) return below;
  const RpmLibrary& rpm = session->rpm();
  rpmfiles files = package->files.get();
  const int count = static_cast<int>(rpm.rpmfilesFC(files));
  for (int i = 0; i < count; ++i) {
    const char* dir = rpm.rpmfilesDN(files, rpm.rpmfilesDI(files, i));
    const char* name = rpm.rpmfilesBN(files, i);
    if (dir == nullptr || name == nullptr || folder != dir) continue;
    const std::string_view base(name);
    if (base.size() >= suffix.size() && base.substr(base.size() - suffix.size()) == suffix)
      below.push_back(std::string(folder).append(base));
  }
  return below;
}

OriginTexts RpmDatabase::TextsOf(const RpmOwner& owner, bool german) {
  OriginTexts texts;
  texts.product = owner.package;
  RpmSession* session = Open();
  RpmPackage* package = session != nullptr ? session->Package(owner.record) : nullptr;
  if (package == nullptr) return texts;
  const RpmLibrary& rpm = session->rpm();
  Header header = package->header.get();
  texts.description = RpmHeaderText(rpm, header, RPMTAG_SUMMARY, german);
  texts.company = RpmHeaderText(rpm, header, RPMTAG_VENDOR, german);
  if (texts.company.empty()) texts.company = MaintainerName(RpmHeaderText(rpm, header, RPMTAG_PACKAGER, german));

  // Read once for all the programs of the package.
  auto& metainfo = package->metainfo[german ? 1 : 0];
  if (!metainfo) {
    std::vector<std::string> files;
    for (const char* folder : kMetainfoFolders) {
      for (std::string& file : FilesBelow(owner, folder, ".xml")) files.push_back(std::move(file));
    }
    metainfo = ReadMetainfo(std::move(files), root_, german);
  }
  if (const MetainfoTexts* chosen = ChooseMetainfo(*metainfo, BaseName(owner.listed_path)))
    OverlayMetainfo(texts, *chosen);
  return texts;
}

const char* RpmDatabase::Check(const RpmOwner& owner, int fd, std::uint64_t size_limit) {
  RpmSession* session = Open();
  const RpmPackage* package = session != nullptr ? session->Package(owner.record) : nullptr;
  if (package == nullptr) return file_state::kNoRecord;
  const RpmLibrary& rpm = session->rpm();
  rpmfiles files = package->files.get();
  if (owner.file >= rpm.rpmfilesFC(files)) return file_state::kNoRecord;
  const int file = static_cast<int>(owner.file);
  // What the package expects to change (configuration, ghosts such as logs)
  // or asks not to have its digest verified has no digest to hold it to.
  if ((rpm.rpmfilesFFlags(files, file) & (RPMFILE_GHOST | RPMFILE_CONFIG)) != 0 ||
      (rpm.rpmfilesVFlags(files, file) & RPMVERIFY_FILEDIGEST) == 0 || !IsNormal(rpm, *package, owner.file))
    return file_state::kNoRecord;
  int algorithm = 0;
  std::size_t length = 0;
  const unsigned char* recorded = rpm.rpmfilesFDigest(files, file, &algorithm, &length);
  if (recorded == nullptr || length == 0) return file_state::kNoRecord;

  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return file_state::kUnreadable;
  // A file of another size is another file, however large.
  if (static_cast<rpm_loff_t>(st.st_size) != rpm.rpmfilesFSize(files, file)) return file_state::kDiffers;
  const char* crypto_name = CryptoName(algorithm);
  if (crypto_name == nullptr) return file_state::kNotChecked;
  return CompareWithDigest(fd, crypto_name, recorded, length, size_limit);
}

}  // namespace proclens::linux_port
