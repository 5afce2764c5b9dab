#include "siteclient/url_helpers.h"

#include <algorithm>

#include "platform/percent_encoding.h"

namespace proclens {
namespace {

constexpr std::size_t kReadSize = 1024;
constexpr std::uint32_t kStatusOk = 200;

}  // namespace

std::string PercentEncodePathSegment(const std::string& text) { return PercentEncode(text, false); }

// In both helpers the request is declared after its client, so it is closed first.
bool UrlExists(HttpOps& http, const std::string& agent, const std::string& address) {
  const auto client = http.Open(agent);
  if (!client) return false;
  const auto request = client->OpenUrl(address, 0);
  if (!request) return false;
  return request->StatusCode() == kStatusOk;
}

std::string FetchUrlText(HttpOps& http, const std::string& agent, const std::string& address) {
  std::string text;
  const auto client = http.Open(agent);
  if (!client) return text;
  const auto request = client->OpenUrl(address, kInternetFlagExistingConnect);
  if (!request) return text;
  char buffer[kReadSize];
  std::size_t delivered = 0;
  while (delivered < kHttpBodyLimit) {
    const std::size_t wanted = std::min(kReadSize, kHttpBodyLimit - delivered);
    // A failed read counts as an empty one; a count beyond the buffer is not believed.
    const std::size_t count = std::min(request->Read(buffer, wanted).value_or(0), wanted);
    if (count == 0) break;
    delivered += count;
    // Every byte counts, a zero byte too: the reply is bytes, not a C string.
    text.append(buffer, count);
  }
  return text;
}

}  // namespace proclens
