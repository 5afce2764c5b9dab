#include "platform/linux/origins/snap_file_digest.h"

#include <fcntl.h>


#include "platform/linux/crypto_library.h"
#include "platform/linux/origins/file_digest.h"
#include "platform/linux/unique_fd.h"

namespace proclens::linux_port {
namespace {

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
  if (!fd.valid()) return digest;
  const DescriptorDigest sum = DigestOfDescriptor(fd.get(), "SHA3-384", size_limit);
  switch (sum.outcome) {
    case DigestOutcome::kOk:
      digest.sha3_384 = Base64Url(*LoadCrypto(), sum.bytes.data(), static_cast<int>(sum.bytes.size()));
      digest.result = SnapDigestResult::kOk;
      break;
    case DigestOutcome::kTooLarge:
      digest.result = SnapDigestResult::kTooLarge;
      break;
    case DigestOutcome::kUnreadable:
    case DigestOutcome::kUnsupported:
      break;
  }
  return digest;
}

}  // namespace proclens::linux_port
