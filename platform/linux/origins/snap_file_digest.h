#pragma once
// The digest by which snapd's store names a .snap file: SHA3-384, written in
// unpadded base64url, as the snap-revision assertion's snap-sha3-384 header
// and its primary key have it.

#include <cstdint>
#include <string>

namespace proclens::linux_port {

enum class SnapDigestResult { kOk, kUnreadable, kTooLarge };
struct SnapDigest {
  SnapDigestResult result = SnapDigestResult::kUnreadable;
  std::string sha3_384;  // with kOk
};

// The digest of a regular file of at most size_limit bytes.
SnapDigest SnapFileDigest(const std::string& path, std::uint64_t size_limit);

}  // namespace proclens::linux_port
