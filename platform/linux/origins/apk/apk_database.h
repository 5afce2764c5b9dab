#pragma once
// Alpine's record of installed packages (lib/apk/db/installed): one record per
// package, blank-line separated, of "K:value" lines. P names the package, T
// describes it, m names its maintainer; each F names a folder
// (without its leading slash) and each R after it a file in that folder, with
// the file's checksum in the Z that follows the R.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace proclens::linux_port {

struct ApkPackage {
  std::string name;
  std::string description;
  std::string maintainer;  // as written: "Name <address>"
};

struct ApkFile {
  std::size_t package = 0;  // index into ApkDatabase::packages()
  std::string checksum;     // the Z value as written; empty when the record has none
};

class ApkDatabase {
 public:
  // Never fails: lines that are no field are skipped, a record without P
  // lists nothing, and the first package to list a path keeps it.
  static ApkDatabase Parse(std::string_view text);

  // The record of an absolute path ("/bin/busybox"); nullptr when no package lists it.
  const ApkFile* Find(std::string_view path) const;
  const std::vector<ApkPackage>& packages() const { return packages_; }

 private:
  std::vector<ApkPackage> packages_;
  std::unordered_map<std::string, ApkFile> files_;
};

// A checksum as apk-tools writes one (src/blob.c, apk_blob_pull_csum): "Q1"
// and the base64 of a SHA-1, "X1" and its hex digits, or 32 hex digits alone
// (MD5, from older databases).
struct ApkDigest {
  const char* algorithm;  // libcrypto's name: "SHA1" or "MD5"
  std::vector<unsigned char> bytes;
};
std::optional<ApkDigest> DecodeApkChecksum(std::string_view checksum);

}  // namespace proclens::linux_port
