#pragma once
// Why a Windows process runs: the services it hosts (asked of the service
// manager once per list fill), the parent that the Toolhelp snapshot names
// and the account in its token.

#include <map>

#include "platform/process_facts_ops.h"
#include "platform/win32/win32_hosted_services.h"
#include "platform/win32/win32_process_parent.h"

namespace proclens::win32 {

class Win32ProcessFactsOps : public ProcessFactsOps {
 public:
  void Refresh() override;
  ProcessFacts FactsOf(std::uint32_t pid) override;

 private:
  bool refreshed_ = false;
  ServicesByProcess services_;
  std::map<std::uint32_t, ParentProcess> parents_;
  std::map<std::uint32_t, std::optional<std::string>> users_;
};

}  // namespace proclens::win32
