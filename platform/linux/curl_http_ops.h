#pragma once
// HTTP through libcurl: the proxy variables of the environment, redirects
// followed, the agent as User-Agent, and every exchange bounded in time and size.

#include "platform/http_ops.h"

namespace proclens::linux_port {

class CurlHttpOps : public HttpOps {
 public:
  CurlHttpOps();
  std::unique_ptr<HttpClient> Open(const std::string& agent) override;
};

}  // namespace proclens::linux_port
