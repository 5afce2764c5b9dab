#include "platform/linux/package_verify_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "platform/linux/crypto_library.h"
#include "platform/linux/real_path.h"
#include "platform/linux/running_program.h"
#include "platform/linux/unique_fd.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kMd5sumsLimit = 64u << 20;
constexpr std::size_t kMd5HexDigits = 32;
constexpr std::size_t kReadSize = 256 * 1024;

struct DigestContextFree {
  const CryptoLibrary* crypto;
  void operator()(EVP_MD_CTX* context) const { crypto->EVP_MD_CTX_free(context); }
};

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::string LowerHex(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::optional<std::string> RecordedSum(std::string_view md5sums, std::string_view listed_path) {
  // Lines are "<32 hex digits>  <path without its leading slash>".
  if (listed_path.empty() || listed_path.front() != '/') return std::nullopt;
  const std::string_view wanted = listed_path.substr(1);
  while (!md5sums.empty()) {
    const std::size_t end = md5sums.find('\n');
    const std::string_view line = md5sums.substr(0, end);
    md5sums.remove_prefix(end == std::string_view::npos ? md5sums.size() : end + 1);
    if (line.size() <= kMd5HexDigits + 1 || line[kMd5HexDigits] != ' ') continue;
    const std::string_view sum = line.substr(0, kMd5HexDigits);
    std::string_view path = line.substr(kMd5HexDigits);
    path.remove_prefix(std::min(path.find_first_not_of(' '), path.size()));
    if (path == wanted && std::all_of(sum.begin(), sum.end(), IsHexDigit)) return LowerHex(sum);
  }
  return std::nullopt;
}

FileDigest Md5OfFile(const std::string& path, std::uint64_t size_limit) {
  // Non-blocking, so that a FIFO cannot hold the caller up.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) {
    FileDigest digest;
    digest.reason = ErrorText(errno);
    return digest;
  }
  return Md5OfDescriptor(fd.get(), size_limit);
}

FileDigest Md5OfDescriptor(int fd, std::uint64_t size_limit) {
  FileDigest digest;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return digest;
  if (static_cast<std::uint64_t>(st.st_size) > size_limit) {
    digest.result = DigestResult::kTooLarge;
    return digest;
  }
  const CryptoLibrary* crypto = LoadCrypto();
  if (crypto == nullptr) return digest;
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(crypto->EVP_MD_CTX_new(), DigestContextFree{crypto});
  if (!context || crypto->EVP_DigestInit_ex(context.get(), crypto->EVP_md5(), nullptr) != 1) return digest;
  std::vector<unsigned char> buffer(kReadSize);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      digest.reason = ErrorText(errno);
      return digest;
    }
    if (got == 0) break;
    total += static_cast<std::uint64_t>(got);
    // A file that grows while it is read must not be read without end.
    if (total > size_limit) {
      digest.result = DigestResult::kTooLarge;
      return digest;
    }
    if (crypto->EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got)) != 1) return digest;
  }
  unsigned char md5[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (crypto->EVP_DigestFinal_ex(context.get(), md5, &length) != 1) return digest;
  constexpr char kHex[] = "0123456789abcdef";
  for (unsigned int i = 0; i < length; ++i) {
    digest.md5 += kHex[md5[i] >> 4];
    digest.md5 += kHex[md5[i] & 0xF];
  }
  digest.result = DigestResult::kOk;
  return digest;
}

std::optional<std::string> PackageVerifyOps::SumRecordedFor(const DpkgOwner& owner) {
  if (md5sums_of_ != owner.list_name) {
    md5sums_of_ = owner.list_name;
    md5sums_ = ReadWholeFile(packages_.root() + "var/lib/dpkg/info/" + owner.list_name + ".md5sums",
                             kMd5sumsLimit);
  }
  if (!md5sums_) return std::nullopt;
  return RecordedSum(*md5sums_, owner.listed_path);
}

FileCheck PackageVerifyOps::CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) {
  FileCheck check;
  UniqueFd image;
  if (pid != 0) {
    RunningProgram program = OpenRunningProgram(pid, path, proc_root_);
    if (program.state != nullptr) {
      check.state = program.state;
      check.reason = std::move(program.reason);
      return check;
    }
    image = std::move(program.image);
  }
  const auto real = RealPathOf(path);
  if (!real) {
    check.state = file_state::kUnreadable;
    check.reason = ErrorText(errno);
    return check;
  }
  const auto owner = packages_.OwnerOf(*real);
  if (!owner) {
    check.state = file_state::kNoPackage;
    return check;
  }
  check.package = owner->package();
  const auto recorded = SumRecordedFor(*owner);
  if (!recorded) {
    check.state = file_state::kNoRecord;
    return check;
  }
  // A process's sum is that of the image it runs, which is the file at its
  // path only as far as the comparison above could tell.
  const FileDigest digest = image.valid() ? Md5OfDescriptor(image.get(), size_limit) : Md5OfFile(*real, size_limit);
  switch (digest.result) {
    case DigestResult::kTooLarge:
      check.state = file_state::kNotChecked;
      break;
    case DigestResult::kUnreadable:
      check.state = file_state::kUnreadable;
      check.reason = digest.reason;
      break;
    case DigestResult::kOk:
      check.state = digest.md5 == *recorded ? file_state::kMatches : file_state::kDiffers;
      break;
  }
  return check;
}

}  // namespace proclens::linux_port
