#include "siteclient/site_client.h"

#include <utility>

#include "siteclient/agent_string.h"
#include "siteclient/installation_id.h"
#include "siteclient/site_base.h"
#include "siteclient/url_helpers.h"

namespace proclens {

SiteClient::SiteClient(SitePlatform platform, MessageBoxHost& messages, std::string site_base,
                       std::string program_title)
    : platform_(platform),
      messages_(messages),
      site_base_(std::move(site_base)),
      program_title_(std::move(program_title)) {}

void SiteClient::ComposeAgentString() {
  agent_string_ = proclens::ComposeAgentString(platform_.site, platform_.system);
}

bool SiteClient::UrlExists(const std::string& address) {
  return proclens::UrlExists(platform_.http, agent_string_, address);
}

std::string SiteClient::FetchUrlText(const std::string& address) {
  return proclens::FetchUrlText(platform_.http, agent_string_, address);
}

std::string SiteClient::ReportAddress() {
  return site_base_ + kReportPath + InstallationId(platform_.site, platform_.system);
}

void SiteClient::ReportFirstSelection() {
  if (!report_pending_) return;
  // Cleared before the request: a report that fails is not tried again this run.
  report_pending_ = false;
  const std::string reply = FetchUrlText(ReportAddress());
  if (reply.empty() || reply == "OK" || reply.front() != kReplyMessageMark) return;
  messages_.ShowMessage(program_title_, reply.substr(1));
}

}  // namespace proclens
