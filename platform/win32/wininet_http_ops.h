#pragma once
// HTTP through WinInet: the system's proxy settings, the client's own redirect
// and cache rules, and every exchange bounded in time.

#include "platform/http_ops.h"

namespace proclens::win32 {

class WinInetHttpOps : public HttpOps {
 public:
  std::unique_ptr<HttpClient> Open(const std::string& agent) override;
};

}  // namespace proclens::win32
