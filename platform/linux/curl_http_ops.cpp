#include "platform/linux/curl_http_ops.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace proclens::linux_port {
namespace {

constexpr long kMaxRedirects = 10;

struct EasyHandleDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;

// Keeps the body up to the limit; a longer body ends the transfer there.
struct BodySink {
  std::string bytes;
  bool cut_at_limit = false;
};

size_t KeepBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<BodySink*>(user);
  const size_t length = size * count;
  const size_t room = kHttpBodyLimit - std::min(sink->bytes.size(), kHttpBodyLimit);
  sink->bytes.append(data, std::min(length, room));
  if (length <= room) return length;
  sink->cut_at_limit = true;
  return 0;  // stops the transfer: the rest would be dropped anyway
}

// The whole reply was taken when the request was opened; reads hand it out.
class CurlRequest : public HttpRequest {
 public:
  CurlRequest(std::uint32_t status, std::string body, bool complete)
      : status_(status), body_(std::move(body)), complete_(complete) {}

  std::optional<std::uint32_t> StatusCode() override { return status_; }

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, body_.size() - position_);
    std::memcpy(buffer, body_.data() + position_, count);
    position_ += count;
    if (count == 0 && !complete_) return std::nullopt;  // the transfer broke off
    return count;
  }

 private:
  std::uint32_t status_;
  std::string body_;
  std::size_t position_ = 0;
  bool complete_;
};

class CurlClient : public HttpClient {
 public:
  explicit CurlClient(std::string agent) : agent_(std::move(agent)) {}

  std::unique_ptr<HttpRequest> OpenUrl(const std::string& address, std::uint32_t /*flags*/) override {
    EasyHandle easy(curl_easy_init());
    if (!easy) return nullptr;
    BodySink sink;
    Configure(easy.get(), address, sink);
    const CURLcode result = curl_easy_perform(easy.get());
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    // No status means no reply came at all: no request handle, as when the
    // address cannot be opened.
    if (status <= 0) return nullptr;
    const bool complete = result == CURLE_OK || sink.cut_at_limit;
    return std::make_unique<CurlRequest>(static_cast<std::uint32_t>(status), std::move(sink.bytes),
                                         complete);
  }

 private:
  void Configure(CURL* easy, const std::string& address, BodySink& sink) {
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, agent_.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A redirect must not lead to a local file or another protocol.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kHttpConnectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(kHttpExchangeTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, KeepBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
  }

  std::string agent_;
};

}  // namespace

CurlHttpOps::CurlHttpOps() {
  // Idempotent after the first call; libcurl counts the calls itself.
  curl_global_init(CURL_GLOBAL_DEFAULT);
}

std::unique_ptr<HttpClient> CurlHttpOps::Open(const std::string& agent) {
  return std::make_unique<CurlClient>(agent);
}

}  // namespace proclens::linux_port
