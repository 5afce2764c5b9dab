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
inline constexpr char kDeleted[] = "deleted";        // the process runs a file deleted or replaced since
inline constexpr char kUnreadable[] = "unreadable";  // the file cannot be read
inline constexpr char kSigned[] = "signed";          // a trusted signature covers the file
inline constexpr char kUnsigned[] = "unsigned";      // no signature, embedded or by catalog
inline constexpr char kUntrusted[] = "untrusted";    // intact, but its chain ends in no trusted root
inline constexpr char kInvalid[] = "invalid";        // the signature does not match the file
inline constexpr char kNotChecked[] = "not-checked";  // larger than the caller wanted read
}  // namespace file_state

struct FileCheck {
  std::string state;
  std::string package;  // the package that ships the file, where there is one
  std::string signer;   // the signer's name, for "signed"
};

class VerifyOps {
 public:
  virtual ~VerifyOps() = default;
  // path is a file, or (from_process) a running program's file as the
  // catalogue resolved it. A file larger than size_limit bytes is not read.
  virtual FileCheck CheckFile(const std::string& path, bool from_process, std::uint64_t size_limit) = 0;
};

}  // namespace proclens
