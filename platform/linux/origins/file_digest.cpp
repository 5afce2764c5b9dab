#include "platform/linux/origins/file_digest.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/linux/base/crypto_library.h"
#include "platform/linux/base/gobject_ptr.h"
#include "platform/verify_ops.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kReadSize = 256 * 1024;

struct DigestContextFree {
  const CryptoLibrary* crypto;
  void operator()(EVP_MD_CTX* context) const { crypto->EVP_MD_CTX_free(context); }
};

// A file is the same bytes while its device, inode, size and change time
// stay: any write or truncation moves the change time.
struct DigestKey {
  dev_t device;
  ino_t inode;
  off_t size;
  std::int64_t changed_seconds;
  long changed_nanoseconds;
  std::string algorithm;
  auto operator<=>(const DigestKey&) const = default;
};

DigestKey KeyOf(const struct stat& st, const char* algorithm) {
  return {st.st_dev, st.st_ino, st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec, algorithm};
}

// The digests computed in this run: a thousand processes of one program are
// one file to read, not a thousand.
class DigestsRead {
 public:
  std::optional<std::vector<unsigned char>> Find(const DigestKey& key) {
    const std::lock_guard lock(mutex_);
    const auto found = digests_.find(key);
    if (found == digests_.end()) return std::nullopt;
    return found->second;
  }
  void Keep(DigestKey key, std::vector<unsigned char> bytes) {
    const std::lock_guard lock(mutex_);
    // A long run over ever new files keeps its memory bounded.
    if (digests_.size() >= kKeptDigests) digests_.clear();
    digests_.emplace(std::move(key), std::move(bytes));
  }

 private:
  static constexpr std::size_t kKeptDigests = 4096;
  std::mutex mutex_;
  std::map<DigestKey, std::vector<unsigned char>> digests_;
};

DigestsRead& Digests() {
  static DigestsRead digests;
  return digests;
}

DescriptorDigest ReadDigest(int fd, const char* algorithm, std::uint64_t size_limit);

}  // namespace

DescriptorDigest DigestOfDescriptor(int fd, const char* algorithm, std::uint64_t size_limit) {
  DescriptorDigest digest;
  struct stat st {};
  // A FIFO or a device would be read without end, or block.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return digest;
  if (static_cast<std::uint64_t>(st.st_size) > size_limit) {
    digest.outcome = DigestOutcome::kTooLarge;
    return digest;
  }
  DigestKey key = KeyOf(st, algorithm);
  if (auto known = Digests().Find(key)) {
    digest.outcome = DigestOutcome::kOk;
    digest.bytes = std::move(*known);
    return digest;
  }
  digest = ReadDigest(fd, algorithm, size_limit);
  // Kept only when the file did not change while it was read.
  struct stat after {};
  if (digest.outcome == DigestOutcome::kOk && ::fstat(fd, &after) == 0 && KeyOf(after, algorithm) == key)
    Digests().Keep(std::move(key), digest.bytes);
  return digest;
}

namespace {

DescriptorDigest ReadDigest(int fd, const char* algorithm, std::uint64_t size_limit) {
  DescriptorDigest digest;
  const CryptoLibrary* crypto = LoadCrypto();
  const EVP_MD* method = crypto != nullptr ? crypto->EVP_get_digestbyname(algorithm) : nullptr;
  if (method == nullptr) {
    digest.outcome = DigestOutcome::kUnsupported;
    return digest;
  }
  std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(crypto->EVP_MD_CTX_new(), DigestContextFree{crypto});
  if (!context || crypto->EVP_DigestInit_ex(context.get(), method, nullptr) != 1) {
    digest.outcome = DigestOutcome::kUnsupported;
    return digest;
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<unsigned char> buffer(kReadSize);
  std::uint64_t offset = 0;
  for (;;) {
    const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return digest;
    if (got == 0) break;
    offset += static_cast<std::uint64_t>(got);
    // A file that grows while it is read must not be read without end.
    if (offset > size_limit) {
      digest.outcome = DigestOutcome::kTooLarge;
      return digest;
    }
    if (crypto->EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got)) != 1) return digest;
  }
  unsigned char bytes[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (crypto->EVP_DigestFinal_ex(context.get(), bytes, &length) != 1) return digest;
  digest.bytes.assign(bytes, bytes + length);
  digest.outcome = DigestOutcome::kOk;
  return digest;
}

}  // namespace

const char* CompareWithDigest(int fd, const char* algorithm, const unsigned char* recorded, std::size_t length,
                              std::uint64_t size_limit) {
  const DescriptorDigest digest = DigestOfDescriptor(fd, algorithm, size_limit);
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

std::vector<unsigned char> BytesOfBase64Url(std::string_view text) {
  // GLib reads base64's own alphabet, in groups of four characters.
  std::string standard(text);
  for (char& c : standard) {
    if (c == '-') c = '+';
    if (c == '_') c = '/';
  }
  while (standard.size() % 4 != 0) standard += '=';
  gsize length = 0;
  GCharPtr bytes(reinterpret_cast<gchar*>(g_base64_decode(standard.c_str(), &length)));
  const auto* first = reinterpret_cast<const unsigned char*>(bytes.get());
  return bytes ? std::vector<unsigned char>(first, first + length) : std::vector<unsigned char>();
}

std::vector<unsigned char> BytesOfHex(std::string_view hex) {
  const auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::vector<unsigned char> bytes;
  if (hex.size() % 2 != 0) return bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = value(hex[i]);
    const int low = value(hex[i + 1]);
    if (high < 0 || low < 0) return {};
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return bytes;
}

}  // namespace proclens::linux_port
