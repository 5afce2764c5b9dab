#pragma once
// HTTP through libcurl: the proxy variables of the environment, redirects
// followed, the agent as User-Agent, and every exchange bounded in time and size.
// libcurl is loaded at the first exchange (platform/linux/curl_library.h).

#include "platform/http_ops.h"

namespace proclens::linux_port {

class LinuxHttpOps : public HttpOps {
 public:
  std::unique_ptr<HttpClient> Open(const std::string& agent) override;
  // Loads libcurl now rather than at the first exchange.
  void Prepare();
};

}  // namespace proclens::linux_port
