#include "platform/resource_index.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/percent_encoding.h"

namespace proclens {
namespace {

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

std::string KeyOf(std::string_view type, std::string_view name) {
  return AsciiUpper(type) + "/" + AsciiUpper(name);
}

std::vector<std::string_view> NonEmptySegments(std::string_view path) {
  std::vector<std::string_view> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) segments.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return segments;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AsciiUpper(text.substr(0, prefix.size())) == AsciiUpper(prefix);
}

}  // namespace

std::optional<ResourceKey> ParseResourceAddress(std::string_view address) {
  if (!StartsWithIgnoringCase(address, "res:")) return std::nullopt;
  std::string_view path = address.substr(4);
  path = path.substr(0, path.find_first_of("?#"));
  std::vector<std::string_view> segments = NonEmptySegments(path);
  if (segments.size() < 2) return std::nullopt;
  return ResourceKey{PercentDecode(segments[segments.size() - 2]),
                     PercentDecode(segments.back())};
}

std::string MimeTypeForExtension(std::string_view extension) {
  static const std::map<std::string, std::string> kTypes = {
      {"GIF", "image/gif"},  {"JPG", "image/jpeg"},    {"JPEG", "image/jpeg"},
      {"PNG", "image/png"},  {"SVG", "image/svg+xml"}, {"ICO", "image/vnd.microsoft.icon"},
      {"BMP", "image/bmp"},  {"CSS", "text/css"},      {"HTML", "text/html"},
      {"HTM", "text/html"},  {"JS", "text/javascript"}, {"TXT", "text/plain"}};
  auto found = kTypes.find(AsciiUpper(extension));
  return found != kTypes.end() ? found->second : "application/octet-stream";
}

bool ResourceIndex::Add(std::string_view stored_path) {
  std::vector<std::string_view> segments = NonEmptySegments(stored_path);
  if (segments.size() < 2) return false;
  std::string_view file_name = segments.back();
  std::size_t dot = file_name.rfind('.');
  std::string_view name = file_name.substr(0, dot);
  std::string_view extension = dot == std::string_view::npos ? "" : file_name.substr(dot + 1);
  if (name.empty()) return false;
  auto [slot, added] = resources_.try_emplace(
      KeyOf(segments[segments.size() - 2], name),
      EmbeddedResource{std::string(stored_path), MimeTypeForExtension(extension)});
  return added;
}

const EmbeddedResource* ResourceIndex::Find(std::string_view type, std::string_view name) const {
  auto found = resources_.find(KeyOf(type, name));
  return found != resources_.end() ? &found->second : nullptr;
}

const EmbeddedResource* ResourceIndex::FindAddress(std::string_view address) const {
  std::optional<ResourceKey> key = ParseResourceAddress(address);
  return key ? Find(key->type, key->name) : nullptr;
}

}  // namespace proclens
