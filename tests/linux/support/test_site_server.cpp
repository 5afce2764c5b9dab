#include "linux/support/test_site_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace proclens::linux_test {
namespace {

const std::filesystem::path kScript =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "site" / "test_site.py";
constexpr auto kStartWait = std::chrono::seconds(15);

// Debian's interpreter when it is there; the standard library is all the site needs.
std::string Python() {
  return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

int ReadPort(const std::filesystem::path& port_file) {
  std::ifstream in(port_file);
  int port = 0;
  in >> port;
  return port;
}

}  // namespace

TestSiteServer::TestSiteServer() {
  // The exchanges must reach the loopback site directly, whatever proxy the
  // environment names.
  ::setenv("no_proxy", "127.0.0.1", 1);
  ::setenv("NO_PROXY", "127.0.0.1", 1);
  const auto port_file = dir_.path() / "port";
  const std::vector<std::string> argv = {Python(), kScript.string(),
                                         "--port-file", port_file.string(),
                                         "--reply-file", (dir_.path() / "reply").string(),
                                         "--log-file", (dir_.path() / "log").string()};
  pid_ = ::fork();
  if (pid_ == 0) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) ::_exit(126);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + kStartWait;
  while (port_ == 0 && std::chrono::steady_clock::now() < deadline) {
    if (std::filesystem::exists(port_file)) port_ = ReadPort(port_file);
    if (port_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (port_ == 0) {
    Stop();
    throw std::runtime_error("the test site did not start: " + kScript.string());
  }
}

TestSiteServer::~TestSiteServer() { Stop(); }

void TestSiteServer::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string TestSiteServer::Base() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

void TestSiteServer::SetReportReply(const std::string& bytes) {
  const auto reply = dir_.path() / "reply";
  std::ofstream(reply.string() + ".tmp", std::ios::binary) << bytes;
  std::filesystem::rename(reply.string() + ".tmp", reply);
}

std::vector<LoggedRequest> TestSiteServer::Requests() const {
  std::vector<LoggedRequest> requests;
  std::ifstream in(dir_.path() / "log");
  std::string line;
  while (std::getline(in, line)) {
    const auto tab = line.find('\t');
    requests.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
  }
  return requests;
}

}  // namespace proclens::linux_test
