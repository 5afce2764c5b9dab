#pragma once
// Is a program's file the one that installed it? On Linux the package
// database recorded a checksum for every file it installed; on Windows a
// publisher signs its programs. One operation answers for either.

#include <cstdint>
#include <string>

namespace proclens {

// The states, as the page, proclens-cli and other tools see them.
namespace file_state {
inline constexpr char kMatches[] = "matches";        // the file's sum is the one its package recorded
inline constexpr char kDiffers[] = "differs";        // it is not
inline constexpr char kNoPackage[] = "no-package";   // no package ships the file
inline constexpr char kNoRecord[] = "no-record";     // its package recorded no sum for it
inline constexpr char kDeleted[] = "deleted";        // the process runs a file that no name is left for
inline constexpr char kReplaced[] = "replaced";      // the process does not run the file its path names
inline constexpr char kUnreadable[] = "unreadable";  // the file cannot be read
inline constexpr char kSigned[] = "signed";          // a trusted signature covers the file
inline constexpr char kUnsigned[] = "unsigned";      // no signature, embedded or by catalog
inline constexpr char kUntrusted[] = "untrusted";    // intact, but its chain ends in no trusted root
inline constexpr char kInvalid[] = "invalid";        // the signature does not match the file
inline constexpr char kNotChecked[] = "not-checked";  // larger than the caller wanted read
inline constexpr char kChangedInContainer[] = "changed-in-container";  // the running container wrote it
inline constexpr char kUntrustedRoot[] = "untrusted-root";  // a root that a user other than root can write
inline constexpr char kInMemory[] = "in-memory";  // the process runs from memory: no file holds it
}  // namespace file_state

// Whose word a check is. The system's package databases and stores are
// root's; what one user installed or mounted for themselves is that user's
// word only, whatever it says of itself.
enum class CheckAuthority {
  kSystem,
  kUserInstallation,  // an installation of one user's own (Flatpak's per-user one)
  kUserMount,         // a file system that a user mounted, which no image is proven to be
  kContainer,         // the package database of the container the process runs in
};

struct FileCheck {
  std::string state;
  std::string package;  // the package that ships the file, where there is one
  std::string signer;   // the signer's name, for "signed"
  std::string reason;   // why the file could not be read, where the system said
  CheckAuthority authority = CheckAuthority::kSystem;
  std::string authority_user;  // the user, where the authority is one (untrusted-root: who can write it)
  std::string memory_name;     // in-memory: the name the program gave its memory file
};

class VerifyOps {
 public:
  virtual ~VerifyOps() = default;
  // pid 0: path is a file, checked as the file it is. Otherwise path is what
  // the catalogue resolved for process pid, and the check is of the program
  // that process runs. A file larger than size_limit bytes is not read.
  virtual FileCheck CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) = 0;
};

}  // namespace proclens
