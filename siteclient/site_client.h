#pragma once
// The site client of one run: the agent string, composed once while the window
// is built, and the report that goes out with the first online page of the run.

#include <string>

#include "platform/http_ops.h"
#include "platform/site_ops.h"
#include "platform/system_info.h"

namespace proclens {

struct SitePlatform {
  HttpOps& http;
  SiteOps& site;
  SystemInfo& system;
};

// The modal message box the window supplies; Show returns when the user closes it.
class MessageBoxHost {
 public:
  virtual ~MessageBoxHost() = default;
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
};

// The first byte of a report reply that carries a message for the user.
inline constexpr char kReplyMessageMark = '\xA7';

class SiteClient {
 public:
  SiteClient(SitePlatform platform, MessageBoxHost& messages, std::string site_base,
             std::string program_title);

  // Called once while the main window is being created, before any exchange.
  void ComposeAgentString();
  const std::string& AgentString() const { return agent_string_; }

  bool UrlExists(const std::string& address);
  std::string FetchUrlText(const std::string& address);

  // Sends the installation identifier on the first call of the run and shows
  // the message a reply may carry; later calls do nothing.
  void ReportFirstSelection();
  bool ReportPending() const { return report_pending_; }
  std::string ReportAddress();

 private:
  SitePlatform platform_;
  MessageBoxHost& messages_;
  std::string site_base_;
  std::string program_title_;
  std::string agent_string_;
  bool report_pending_ = true;
};

}  // namespace proclens
