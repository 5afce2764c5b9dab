#include "unit/siteclient/site_fakes.h"

#include <algorithm>
#include <cstring>

namespace proclens::site_fakes {
namespace {

class FakeRequest : public HttpRequest {
 public:
  FakeRequest(const FakeReply& reply, HttpLog& log) : reply_(reply), log_(log) {}
  ~FakeRequest() override { log_.events.push_back("close request"); }

  std::optional<std::uint32_t> StatusCode() override {
    log_.events.push_back("status");
    return reply_.status;
  }

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    log_.events.push_back("read");
    log_.read_sizes.push_back(size);
    if (next_ >= reply_.chunks.size()) return 0;
    const auto& chunk = reply_.chunks[next_++];
    if (!chunk) return std::nullopt;
    const std::size_t count = std::min(size, chunk->size());
    std::memcpy(buffer, chunk->data(), count);
    return count;
  }

 private:
  const FakeReply& reply_;
  HttpLog& log_;
  std::size_t next_ = 0;
};

class FakeClient : public HttpClient {
 public:
  FakeClient(const std::map<std::string, FakeReply>& replies, HttpLog& log)
      : replies_(replies), log_(log) {}
  ~FakeClient() override { log_.events.push_back("close client"); }

  std::unique_ptr<HttpRequest> OpenUrl(const std::string& address, std::uint32_t flags) override {
    log_.events.push_back("open request");
    log_.addresses.push_back(address);
    log_.flags.push_back(flags);
    const auto found = replies_.find(address);
    if (found == replies_.end() || !found->second.request_opens) return nullptr;
    return std::make_unique<FakeRequest>(found->second, log_);
  }

 private:
  const std::map<std::string, FakeReply>& replies_;
  HttpLog& log_;
};

}  // namespace

std::unique_ptr<HttpClient> FakeHttp::Open(const std::string& agent) {
  if (on_open) on_open();
  log.events.push_back("open client");
  log.agents.push_back(agent);
  if (!client_opens) return nullptr;
  return std::make_unique<FakeClient>(replies, log);
}

}  // namespace proclens::site_fakes
