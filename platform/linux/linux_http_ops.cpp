#include "platform/linux/linux_http_ops.h"

#include "platform/linux/base/curl_library.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace proclens::linux_port {
namespace {

constexpr long kMaxRedirects = 10;
constexpr int kPollMs = 100;  // one wait for the socket; the exchange's bound is curl's

struct EasyHandleDeleter {
  const CurlLibrary* curl;
  void operator()(CURL* handle) const { curl->curl_easy_cleanup(handle); }
};
struct MultiHandleDeleter {
  const CurlLibrary* curl;
  void operator()(CURLM* handle) const { curl->curl_multi_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiHandleDeleter>;

// One GET, read as far as its caller asks: opening it stops once the final
// reply's status line and headers are in, and each read takes only what it
// needs of the body. A status test therefore never downloads the page, and
// the request is the same GET the browser pane will send (a HEAD request
// might be answered differently by the site).
class CurlRequest : public HttpRequest {
 public:
  CurlRequest(const CurlLibrary& curl, MultiHandle multi, EasyHandle easy)
      : curl_(curl), multi_(std::move(multi)), easy_(std::move(easy)) {
    curl_.curl_easy_setopt(easy_.get(), CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader);
    curl_.curl_easy_setopt(easy_.get(), CURLOPT_HEADERDATA, this);
    curl_.curl_easy_setopt(easy_.get(), CURLOPT_WRITEFUNCTION, &CurlRequest::OnBody);
    curl_.curl_easy_setopt(easy_.get(), CURLOPT_WRITEDATA, this);
    added_ = curl_.curl_multi_add_handle(multi_.get(), easy_.get()) == CURLM_OK;
  }

  ~CurlRequest() override {
    // Leaving the transfer unfinished closes its connection: the rest of the body is never read.
    if (added_) curl_.curl_multi_remove_handle(multi_.get(), easy_.get());
  }

  CurlRequest(const CurlRequest&) = delete;
  CurlRequest& operator=(const CurlRequest&) = delete;

  // False unless the final reply's whole header block came within the time-out:
  // a status line alone is no answer (a site may send it and then trickle its
  // headers until the time-out), nor is a refused, reset or silent exchange.
  bool ReadHeaders() {
    Drive([this] { return final_headers_; });
    return final_headers_ && Status() > 0;
  }

  std::optional<std::uint32_t> StatusCode() override {
    const long status = Status();
    if (status <= 0) return std::nullopt;
    return static_cast<std::uint32_t>(status);
  }

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    if (Unread() == 0 && paused_) {
      paused_ = false;
      curl_.curl_easy_pause(easy_.get(), CURLPAUSE_CONT);  // may hand over body at once
    }
    Drive([this] { return Unread() > 0; });
    const std::size_t count = std::min(size, Unread());
    std::memcpy(buffer, pending_.data() + position_, count);
    position_ += count;
    if (count == 0 && result_ != CURLE_OK) return std::nullopt;  // the transfer broke off
    return count;
  }

 private:
  std::size_t Unread() const { return pending_.size() - position_; }

  long Status() const {
    long status = 0;
    curl_.curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
  }

  // Lets curl work until the wish is met or the transfer has ended.
  template <typename Wish>
  void Drive(Wish met) {
    while (added_ && !done_ && !met()) {
      int running = 0;
      if (curl_.curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
        Finish(CURLE_RECV_ERROR);
        break;
      }
      int queued = 0;
      while (CURLMsg* message = curl_.curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) Finish(message->data.result);
      }
      if (!done_ && !met()) curl_.curl_multi_poll(multi_.get(), nullptr, 0, kPollMs, nullptr);
    }
  }

  void Finish(CURLcode result) {
    done_ = true;
    result_ = result;
  }

  // Each reply's status line, its headers, then an empty line. Interim
  // replies (1xx) and the redirects curl follows are not the final reply.
  static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlRequest*>(user);
    const size_t length = size * count;
    const std::string_view line(data, length);
    if (line.starts_with("HTTP/")) {
      self->location_seen_ = false;
    } else if (line.size() > 9 && strncasecmp(data, "location:", 9) == 0) {
      self->location_seen_ = true;
    } else if (line == "\r\n" || line == "\n") {
      const long status = self->Status();
      const bool redirected = status >= 300 && status < 400 && self->location_seen_;
      if (status >= 200 && !redirected) self->final_headers_ = true;
    }
    return length;
  }

  // Holds back further body once a whole body's worth is waiting unread.
  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlRequest*>(user);
    self->final_headers_ = true;
    if (self->Unread() >= kHttpBodyLimit) {
      self->paused_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    if (self->Unread() == 0) {
      self->pending_.clear();
      self->position_ = 0;
    }
    self->pending_.append(data, size * count);
    return size * count;
  }

  const CurlLibrary& curl_;
  MultiHandle multi_;
  EasyHandle easy_;
  bool added_ = false;
  bool final_headers_ = false;
  bool done_ = false;
  bool location_seen_ = false;
  bool paused_ = false;
  CURLcode result_ = CURLE_OK;
  std::string pending_;  // body bytes taken from curl and not yet read
  std::size_t position_ = 0;
};

class CurlClient : public HttpClient {
 public:
  CurlClient(const CurlLibrary& curl, std::string agent) : curl_(curl), agent_(std::move(agent)) {}

  std::unique_ptr<HttpRequest> OpenUrl(const std::string& address, std::uint32_t /*flags*/) override {
    MultiHandle multi(curl_.curl_multi_init(), MultiHandleDeleter{&curl_});
    EasyHandle easy(curl_.curl_easy_init(), EasyHandleDeleter{&curl_});
    if (!multi || !easy) return nullptr;
    Configure(easy.get(), address);
    auto request = std::make_unique<CurlRequest>(curl_, std::move(multi), std::move(easy));
    // No whole reply head means no reply: no request handle, as when the
    // address cannot be opened.
    if (!request->ReadHeaders()) return nullptr;
    return request;
  }

 private:
  void Configure(CURL* easy, const std::string& address) {
    curl_.curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_.curl_easy_setopt(easy, CURLOPT_USERAGENT, agent_.c_str());
    curl_.curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_.curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_.curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A redirect must not lead to a local file or another protocol.
    curl_.curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_.curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_.curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(kHttpConnectTimeoutMs));
    curl_.curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(kHttpExchangeTimeoutMs));
    curl_.curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  }

  const CurlLibrary& curl_;
  std::string agent_;
};

}  // namespace

void LinuxHttpOps::Prepare() { LoadCurl(); }

// No client when libcurl cannot be loaded: every exchange then fails in the
// ordinary way (no page, no reply).
std::unique_ptr<HttpClient> LinuxHttpOps::Open(const std::string& agent) {
  const CurlLibrary* curl = LoadCurl();
  if (curl == nullptr) return nullptr;
  return std::make_unique<CurlClient>(*curl, agent);
}

}  // namespace proclens::linux_port
