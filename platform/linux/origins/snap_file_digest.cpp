#include "platform/linux/origins/snap_file_digest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/linux/crypto_library.h"
#include "platform/linux/unique_fd.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kReadSize = 256 * 1024;

struct DigestContextFree {
  const CryptoLibrary* crypto;
  void operator()(EVP_MD_CTX* context) const { crypto->EVP_MD_CTX_free(context); }
};

// base64url without padding: base64's alphabet with '-' and '_' for '+' and '/'.
std::string Base64Url(const CryptoLibrary& crypto, const unsigned char* bytes, int length) {
  std::string text(static_cast<std::size_t>(4 * ((length + 2) / 3) + 1), '\0');
  const int written = crypto.EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes, length);
  text.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  while (!text.empty() && text.back() == '=') text.pop_back();
  for (char& c : text) {
    if (c == '+') c = '-';
    if (c == '/') c = '_';
  }
  return text;
}

}  // namespace

SnapDigest SnapFileDigest(const std::string& path, std::uint64_t size_limit) {
  SnapDigest digest;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return digest;
  if (static_cast<std::uint64_t>(st.st_size) > size_limit) {
    digest.result = SnapDigestResult::kTooLarge;
    return digest;
  }
  const CryptoLibrary* crypto = LoadCrypto();
  if (crypto == nullptr) return digest;
  ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(crypto->EVP_MD_CTX_new(), DigestContextFree{crypto});
  if (!context || crypto->EVP_DigestInit_ex(context.get(), crypto->EVP_sha3_384(), nullptr) != 1) return digest;
  std::vector<unsigned char> buffer(kReadSize);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return digest;
    if (got == 0) break;
    total += static_cast<std::uint64_t>(got);
    // A file that grows while it is read must not be read without end.
    if (total > size_limit) {
      digest.result = SnapDigestResult::kTooLarge;
      return digest;
    }
    if (crypto->EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got)) != 1) return digest;
  }
  unsigned char sum[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (crypto->EVP_DigestFinal_ex(context.get(), sum, &length) != 1) return digest;
  digest.sha3_384 = Base64Url(*crypto, sum, static_cast<int>(length));
  digest.result = SnapDigestResult::kOk;
  return digest;
}

}  // namespace proclens::linux_port
