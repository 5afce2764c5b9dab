#include "platform/win32/win32_process_facts_ops.h"

#include "platform/win32/win32_process_user.h"

namespace proclens::win32 {

void Win32ProcessFactsOps::Refresh() {
  services_ = ReadHostedServices();
  parents_ = ParentsOf(ReadProcessTree());
  users_.clear();
  refreshed_ = true;
}

ProcessFacts Win32ProcessFactsOps::FactsOf(std::uint32_t pid) {
  if (!refreshed_) Refresh();
  ProcessFacts facts;
  if (const auto hosted = services_.find(pid); hosted != services_.end()) {
    for (const HostedService& service : hosted->second)
      facts.services.push_back({service.name, service.display_name, service.description});
  }
  if (const auto parent = parents_.find(pid); parent != parents_.end() && parent->second.pid != 0)
    facts.parent = ParentFacts{parent->second.pid, parent->second.exe_file, parent->second.ended};
  auto user = users_.find(pid);
  if (user == users_.end()) user = users_.emplace(pid, ProcessUserName(pid)).first;
  facts.user = user->second;
  return facts;
}

}  // namespace proclens::win32
