#pragma once
// A file checked against the MD5 sum that dpkg recorded when it installed it
// (var/lib/dpkg/info/<package>.md5sums).

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/linux/package_catalog.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {

class PackageVerifyOps : public VerifyOps {
 public:
  // proc_root is where the process directories are, ending in '/'.
  explicit PackageVerifyOps(PackageCatalog& packages = PackageCatalog::System(), std::string proc_root = "/proc/")
      : packages_(packages), proc_root_(std::move(proc_root)) {}

  FileCheck CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) override;

 private:
  std::optional<std::string> SumRecordedFor(const DpkgOwner& owner);

  PackageCatalog& packages_;
  std::string proc_root_;
  // Programs of one package tend to be checked one after another.
  std::string md5sums_of_;
  std::optional<std::string> md5sums_;
};

// The sum recorded for one listed path (with its leading '/') in the text of
// an md5sums file: lower-case hex; nullopt when no line names the path.
std::optional<std::string> RecordedSum(std::string_view md5sums, std::string_view listed_path);

enum class DigestResult { kOk, kUnreadable, kTooLarge };
struct FileDigest {
  DigestResult result = DigestResult::kUnreadable;
  std::string md5;     // lower-case hex, with kOk
  std::string reason;  // with kUnreadable, the system's word for why, where it said
};
// The MD5 of a regular file of at most size_limit bytes.
FileDigest Md5OfFile(const std::string& path, std::uint64_t size_limit);
// The same for a file already open.
FileDigest Md5OfDescriptor(int fd, std::uint64_t size_limit);

}  // namespace proclens::linux_port
