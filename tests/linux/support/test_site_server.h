#pragma once
// The local test site (tests/site/test_site.py) as a test fixture: started on
// a free loopback port, its report reply set from the test, its request log read
// back, and stopped when the test ends.

#include <sys/types.h>

#include <string>
#include <vector>

#include "linux/support/live_process.h"

namespace proclens::linux_test {

struct LoggedRequest {
  std::string path;   // as the request line gave it
  std::string agent;  // the User-Agent header
};

class TestSiteServer {
 public:
  TestSiteServer();  // throws when the site does not start
  ~TestSiteServer();
  TestSiteServer(const TestSiteServer&) = delete;
  TestSiteServer& operator=(const TestSiteServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT/"
  std::string Base() const;
  // The bytes that cgi/kestrel.pl answers with from now on.
  void SetReportReply(const std::string& bytes);
  std::vector<LoggedRequest> Requests() const;

 private:
  void Stop();

  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace proclens::linux_test
