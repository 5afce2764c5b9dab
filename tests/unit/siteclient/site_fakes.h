#pragma once
// Scriptable stand-ins for the site client's platform: system facts, an HTTP
// client that replays scripted replies and records what it was asked, and a
// message box that records what it showed.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/http_ops.h"
#include "fakes/fake_message_box.h"
#include "fakes/fake_system_info.h"
#include "platform/site_ops.h"
#include "platform/system_info.h"
#include "siteclient/site_client.h"

namespace proclens::site_fakes {

class FakeSiteSystem : public SiteOps, public fakes::FakeSystemInfo {
 public:
  OsVersion version{OsFamily::Windows, kPlatformWin32Nt, 5, 1};
  std::string program_path = "C:\\Tools\\viewer.exe";
  std::map<std::string, std::uint32_t> volume_serials;  // by root path; others fail
  std::map<std::uint32_t, std::string> locale_names;    // by item; others fail
  std::vector<std::string> volume_roots_asked;

  OsVersion VersionInfo() override { return version; }
  std::string ProgramPath() override { return program_path; }
  std::optional<std::uint32_t> VolumeSerial(const std::string& root_path) override {
    volume_roots_asked.push_back(root_path);
    const auto found = volume_serials.find(root_path);
    if (found == volume_serials.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::string> LocaleInfo(std::uint16_t asked_lang_id, std::uint32_t item) override {
    const auto found = locale_names.find(item);
    if (asked_lang_id != lang_id || found == locale_names.end()) return std::nullopt;
    return found->second;
  }
};

// One scripted exchange. Each read hands out the next chunk; nullopt is a
// failed read; after the last chunk every read delivers nothing.
struct FakeReply {
  bool request_opens = true;
  std::optional<std::uint32_t> status = 200;
  std::vector<std::optional<std::string>> chunks;
};

struct HttpLog {
  std::vector<std::string> agents;     // one per client opened
  std::vector<std::string> addresses;  // one per request opened
  std::vector<std::uint32_t> flags;
  std::vector<std::string> events;     // "open client", "open request", "read", "close request", ...
  std::vector<std::size_t> read_sizes;
};

class FakeHttp : public HttpOps {
 public:
  bool client_opens = true;
  std::map<std::string, FakeReply> replies;  // by address; others cannot be opened
  HttpLog log;
  // Runs when a client is opened, before anything else happens.
  std::function<void()> on_open;

  std::unique_ptr<HttpClient> Open(const std::string& agent) override;
};

using fakes::FakeMessageBox;

}  // namespace proclens::site_fakes
