#include "platform/linux/origins/apk/apk_database.h"

#include "platform/linux/origins/file_digest.h"

namespace proclens::linux_port {
namespace {

constexpr std::size_t kSha1Length = 20;
constexpr std::size_t kMd5Length = 16;

struct PendingFile {
  std::string path;
  std::string checksum;
};

}  // namespace

ApkDatabase ApkDatabase::Parse(std::string_view text) {
  ApkDatabase database;
  ApkPackage package;
  std::vector<PendingFile> files;
  std::string folder = "/";
  bool after_file = false;  // a Z belongs to the R just before it, not to a folder
  auto finish = [&] {
    if (!package.name.empty()) {
      const std::size_t index = database.packages_.size();
      database.packages_.push_back(std::move(package));
      for (PendingFile& file : files)
        database.files_.try_emplace(std::move(file.path), ApkFile{index, std::move(file.checksum)});
    }
    package = ApkPackage();
    files.clear();
    folder = "/";
    after_file = false;
  };
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) {
      finish();
      continue;
    }
    if (line.size() < 2 || line[1] != ':') continue;
    const std::string_view value = line.substr(2);
    switch (line[0]) {
      case 'P': package.name = value; break;
      case 'T': package.description = value; break;
      case 'm': package.maintainer = value; break;
      case 'F':
        folder = "/" + std::string(value);
        if (folder.back() != '/') folder += '/';
        after_file = false;
        break;
      case 'R':
        if (value.empty() || value.find('/') != std::string_view::npos) break;
        files.push_back({folder + std::string(value), {}});
        after_file = true;
        continue;
      case 'Z':
        if (after_file) files.back().checksum = value;
        break;
      default: break;
    }
    // Only the attributes of a file (its a: line) may stand between its R and its Z.
    if (line[0] != 'a') after_file = false;
  }
  finish();
  return database;
}

const ApkFile* ApkDatabase::Find(std::string_view path) const {
  const auto found = files_.find(std::string(path));
  return found == files_.end() ? nullptr : &found->second;
}

std::optional<ApkDigest> DecodeApkChecksum(std::string_view checksum) {
  if (checksum.size() == 2 * kMd5Length) {
    std::vector<unsigned char> bytes = BytesOfHex(checksum);
    if (bytes.size() == kMd5Length) return ApkDigest{"MD5", std::move(bytes)};
    return std::nullopt;
  }
  std::vector<unsigned char> bytes;
  // Standard base64, which BytesOfBase64Url reads as well: it only maps - and _.
  if (checksum.starts_with("Q1")) bytes = BytesOfBase64Url(checksum.substr(2));
  if (checksum.starts_with("X1")) bytes = BytesOfHex(checksum.substr(2));
  if (bytes.size() != kSha1Length) return std::nullopt;
  return ApkDigest{"SHA1", std::move(bytes)};
}

}  // namespace proclens::linux_port
