#include "platform/win32/wininet_http_ops.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"

#include <wininet.h>

#include <utility>

namespace proclens::win32 {
namespace {

struct InternetHandleTraits {
  static HINTERNET None() { return nullptr; }
  static bool IsValid(HINTERNET h) { return h != nullptr; }
  static void Release(HINTERNET h) { ::InternetCloseHandle(h); }
};
using InternetHandle = UniqueHandle<HINTERNET, InternetHandleTraits>;

// Opening a request gets the connection and the reply headers within the
// exchange bound: the connect time-out and the rest of the bound for the answer.
constexpr DWORD kOpenAnswerTimeoutMs = kHttpExchangeTimeoutMs - kHttpConnectTimeoutMs;

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
  ::InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

class WinInetRequest : public HttpRequest {
 public:
  WinInetRequest(InternetHandle request, ULONGLONG deadline)
      : request_(std::move(request)), deadline_(deadline) {}

  std::optional<std::uint32_t> StatusCode() override {
    DWORD status = 0;
    DWORD length = sizeof status;
    DWORD index = 0;
    if (!::HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                          &length, &index)) {
      return std::nullopt;
    }
    return status;
  }

  // Each read waits at most for what is left of the exchange bound, so a site
  // that trickles its reply cannot hold the caller longer than the bound.
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline_) return std::nullopt;
    SetTimeout(request_.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, static_cast<DWORD>(deadline_ - now));
    DWORD read = 0;
    if (!::InternetReadFile(request_.get(), buffer, static_cast<DWORD>(size), &read)) {
      return std::nullopt;
    }
    return read;
  }

 private:
  InternetHandle request_;
  ULONGLONG deadline_;
};

class WinInetClient : public HttpClient {
 public:
  explicit WinInetClient(InternetHandle client) : client_(std::move(client)) {}

  std::unique_ptr<HttpRequest> OpenUrl(const std::string& address, std::uint32_t flags) override {
    const ULONGLONG deadline = ::GetTickCount64() + kHttpExchangeTimeoutMs;
    InternetHandle request(::InternetOpenUrlA(client_.get(), address.c_str(), nullptr, 0, flags, 0));
    if (!request) return nullptr;
    return std::make_unique<WinInetRequest>(std::move(request), deadline);
  }

 private:
  InternetHandle client_;
};

}  // namespace

std::unique_ptr<HttpClient> WinInetHttpOps::Open(const std::string& agent) {
  InternetHandle client(
      ::InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!client) return nullptr;
  // Requests inherit the client's options.
  SetTimeout(client.get(), INTERNET_OPTION_CONNECT_TIMEOUT, kHttpConnectTimeoutMs);
  SetTimeout(client.get(), INTERNET_OPTION_CONNECT_RETRIES, 1);
  SetTimeout(client.get(), INTERNET_OPTION_SEND_TIMEOUT, kOpenAnswerTimeoutMs);
  SetTimeout(client.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kOpenAnswerTimeoutMs);
  return std::make_unique<WinInetClient>(std::move(client));
}

}  // namespace proclens::win32
