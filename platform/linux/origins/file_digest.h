#pragma once
// The digest of a file that the caller has open, in whichever algorithm a
// package database recorded: a running program's image is checked through the
// descriptor that reaches it, not through a path that may name another file
// by now.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace proclens::linux_port {

enum class DigestOutcome {
  kOk,
  kUnreadable,   // not a regular file, or a read failed
  kTooLarge,     // larger than the caller wanted read
  kUnsupported,  // libcrypto is missing or does not know the algorithm
};

struct DescriptorDigest {
  DigestOutcome outcome = DigestOutcome::kUnreadable;
  std::vector<unsigned char> bytes;  // with kOk
};

// The digest of the regular file open at fd, from its first byte whatever the
// descriptor's offset (which is left as it was). algorithm is libcrypto's
// name for it ("MD5", "SHA256").
DescriptorDigest DigestOfDescriptor(int fd, const char* algorithm, std::uint64_t size_limit);

// The bytes at fd held to the digest a package recorded for them: one of the
// file_state texts matches, differs, unreadable or not-checked (too large, or
// an algorithm libcrypto lacks).
const char* CompareWithDigest(int fd, const char* algorithm, const unsigned char* recorded, std::size_t length,
                              std::uint64_t size_limit);

// The bytes that a text of hexadecimal digits writes (in either case); empty
// when it holds anything else or an odd number of digits.
std::vector<unsigned char> BytesOfHex(std::string_view hex);

// The bytes that a text in base64url without padding writes (as snapd's store
// records digests); characters outside that alphabet are skipped.
std::vector<unsigned char> BytesOfBase64Url(std::string_view text);

}  // namespace proclens::linux_port
