#include "platform/linux/origins/snap/snapd_client.h"

#include <memory>

#include "platform/http_ops.h"
#include "platform/linux/base/curl_library.h"
#include "platform/linux/origins/snap/snap_metadata.h"

namespace proclens::linux_port {
namespace {

constexpr long kHttpOk = 200;

struct EasyHandleFree {
  const CurlLibrary* curl;
  void operator()(CURL* handle) const { curl->curl_easy_cleanup(handle); }
};

// Keeps the body up to the same limit as the site's replies; more ends the exchange.
size_t KeepBody(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<std::string*>(user);
  const size_t length = size * count;
  if (body->size() + length > kHttpBodyLimit) return 0;
  body->append(data, length);
  return length;
}

}  // namespace

std::optional<SnapPublisher> AskSnapdForPublisher(const std::string& socket_path, const std::string& name) {
  if (!IsSnapName(name)) return std::nullopt;
  const CurlLibrary* curl = LoadCurl();
  if (curl == nullptr) return std::nullopt;
  std::unique_ptr<CURL, EasyHandleFree> easy(curl->curl_easy_init(), EasyHandleFree{curl});
  if (!easy) return std::nullopt;
  std::string body;
  const std::string address = "http://localhost/v2/snaps/" + name;
  curl->curl_easy_setopt(easy.get(), CURLOPT_UNIX_SOCKET_PATH, socket_path.c_str());
  curl->curl_easy_setopt(easy.get(), CURLOPT_URL, address.c_str());
  curl->curl_easy_setopt(easy.get(), CURLOPT_PROTOCOLS_STR, "http");
  // snapd is local: no proxy may stand between.
  curl->curl_easy_setopt(easy.get(), CURLOPT_NOPROXY, "*");
  curl->curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kHttpConnectTimeoutMs));
  curl->curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(kHttpExchangeTimeoutMs));
  curl->curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
  curl->curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &KeepBody);
  curl->curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
  if (curl->curl_easy_perform(easy.get()) != CURLE_OK) return std::nullopt;
  long status = 0;
  curl->curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status != kHttpOk) return std::nullopt;
  return PublisherInSnapdReply(body);
}

}  // namespace proclens::linux_port
