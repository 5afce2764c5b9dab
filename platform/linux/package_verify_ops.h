#pragma once
// A file checked against the MD5 sum that dpkg recorded when it installed it
// (var/lib/dpkg/info/<package>.md5sums).

#include <optional>
#include <string>

#include "platform/linux/package_catalog.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {

class PackageVerifyOps : public VerifyOps {
 public:
  explicit PackageVerifyOps(PackageCatalog& packages = PackageCatalog::System()) : packages_(packages) {}

  FileCheck CheckFile(const std::string& path, bool from_process, std::uint64_t size_limit) override;

 private:
  std::optional<std::string> SumRecordedFor(const DpkgOwner& owner);

  PackageCatalog& packages_;
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
  std::string md5;  // lower-case hex, with kOk
};
// The MD5 of a regular file of at most size_limit bytes.
FileDigest Md5OfFile(const std::string& path, std::uint64_t size_limit);

}  // namespace proclens::linux_port
