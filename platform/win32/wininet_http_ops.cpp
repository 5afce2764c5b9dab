#include "platform/win32/wininet_http_ops.h"

#include <utility>

#include "platform/win32/wininet_watchdog.h"

namespace proclens::win32 {
namespace {

// Waiting for the reply headers gets what the connect time-out leaves of the bound.
constexpr DWORD kAnswerTimeoutMs = kHttpExchangeTimeoutMs - kHttpConnectTimeoutMs;

void SetOption(HINTERNET handle, DWORD option, DWORD value) {
  ::InternetSetOptionA(handle, option, &value, sizeof value);
}

class WinInetRequest : public HttpRequest {
 public:
  WinInetRequest(std::shared_ptr<SharedInternetHandle> client, HINTERNET request,
                 std::unique_ptr<ExchangeWatchdog> watchdog)
      : client_(std::move(client)), request_(request), watchdog_(std::move(watchdog)) {}

  ~WinInetRequest() override {
    watchdog_.reset();
    // A client closed by the watchdog took its requests with it.
    if (!client_->closed()) ::InternetCloseHandle(request_);
  }
  WinInetRequest(const WinInetRequest&) = delete;
  WinInetRequest& operator=(const WinInetRequest&) = delete;

  std::optional<std::uint32_t> StatusCode() override {
    DWORD status = 0;
    DWORD length = sizeof status;
    DWORD index = 0;
    if (!::HttpQueryInfoA(request_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                          &length, &index)) {
      return std::nullopt;
    }
    return status;
  }

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    DWORD read = 0;
    if (!::InternetReadFile(request_, buffer, static_cast<DWORD>(size), &read)) return std::nullopt;
    return read;
  }

 private:
  std::shared_ptr<SharedInternetHandle> client_;
  HINTERNET request_;
  std::unique_ptr<ExchangeWatchdog> watchdog_;
};

class WinInetClient : public HttpClient {
 public:
  explicit WinInetClient(HINTERNET client)
      : client_(std::make_shared<SharedInternetHandle>(client)) {}

  // The watch starts before the request is sent and lasts until it is closed.
  std::unique_ptr<HttpRequest> OpenUrl(const std::string& address, std::uint32_t flags) override {
    auto watchdog = std::make_unique<ExchangeWatchdog>(
        client_, std::chrono::milliseconds(kHttpExchangeTimeoutMs));
    HINTERNET request = ::InternetOpenUrlA(client_->get(), address.c_str(), nullptr, 0, flags, 0);
    if (request == nullptr) return nullptr;
    // The reply's head came only after the bound (Wine's WinInet waits for a
    // header that trickles in, however long it takes): no answer, whatever its
    // status. The watchdog's close took this request with the client.
    if (client_->closed()) return nullptr;
    return std::make_unique<WinInetRequest>(client_, request, std::move(watchdog));
  }

 private:
  std::shared_ptr<SharedInternetHandle> client_;
};

}  // namespace

std::unique_ptr<HttpClient> WinInetHttpOps::Open(const std::string& agent) {
  HINTERNET client =
      ::InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (client == nullptr) return nullptr;
  // Requests opened on the client take these over.
  SetOption(client, INTERNET_OPTION_CONNECT_TIMEOUT, kHttpConnectTimeoutMs);
  SetOption(client, INTERNET_OPTION_CONNECT_RETRIES, 1);
  SetOption(client, INTERNET_OPTION_SEND_TIMEOUT, kAnswerTimeoutMs);
  SetOption(client, INTERNET_OPTION_RECEIVE_TIMEOUT, kAnswerTimeoutMs);
  return std::make_unique<WinInetClient>(client);
}

}  // namespace proclens::win32
