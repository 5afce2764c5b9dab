#pragma once
// The HTTP client as the site client sees it: a client handle made with the
// agent, a request opened on it, its final status and its body read in pieces.
// Closing happens in the destructors: the request first, then its client.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace proclens {

inline constexpr std::uint32_t kInternetFlagExistingConnect = 0x20000000;

// The user-interface thread waits for every exchange, so each one is bounded:
// connecting, and the whole exchange from opening to the last read.
inline constexpr std::uint32_t kHttpConnectTimeoutMs = 3000;
inline constexpr std::uint32_t kHttpExchangeTimeoutMs = 8000;
// The most body bytes that one request delivers; reading stops there.
inline constexpr std::size_t kHttpBodyLimit = 1024 * 1024;

class HttpRequest {
 public:
  virtual ~HttpRequest() = default;  // InternetCloseHandle of the request
  // HttpQueryInfoA(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER): the status
  // of the final reply, redirects followed; nullopt when the query fails.
  virtual std::optional<std::uint32_t> StatusCode() = 0;
  // InternetReadFile: the number of bytes delivered into buffer (0 at the end of
  // the body), nullopt when the read fails.
  virtual std::optional<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;  // InternetCloseHandle of the client
  // InternetOpenUrlA(address, no headers, flags, context 0): a plain GET;
  // nullptr when no request handle came back.
  virtual std::unique_ptr<HttpRequest> OpenUrl(const std::string& address, std::uint32_t flags) = 0;
};

class HttpOps {
 public:
  virtual ~HttpOps() = default;
  // InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, no proxy, no bypass, 0):
  // the agent becomes every request's User-Agent; nullptr when no handle came back.
  virtual std::unique_ptr<HttpClient> Open(const std::string& agent) = 0;
};

}  // namespace proclens
