// proclens-cli verify [--json] PID|FILE...: whether each program's file is
// the one that installed it, for scripts: one line or JSON object per argument.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/image_path.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/listed_item.h"
#include "cli/output.h"
#include "cli/facts_json.h"

namespace proclens::cli {
namespace {

// The command line has no one waiting on a page: every file is read whole.
constexpr std::uint64_t kNoLimit = UINT64_MAX;

struct Checked {
  std::string file;
  FileCheck check;
  bool of_process = false;
  std::optional<ContainerFacts> container;  // the process's, where it runs in one
};

Checked CheckArgument(const std::string& argument, CliPlatform& platform) {
  const std::optional<std::uint32_t> pid = ParsePid(argument);
  if (!pid) return {argument, platform.Verify().CheckFile(argument, 0, kNoLimit), false, std::nullopt};
  // The process's file as the catalogue resolves it.
  const CataloguePlatform catalogue = platform.Catalogue();
  const std::string path = GetProcessImagePath(*pid, catalogue.processes, catalogue.system);
  if (!IsResolvedPath(path)) {
    FileCheck check;
    check.state = file_state::kUnreadable;
    check.reason = path.substr(1);  // the error text without its leading blank
    return {argument, check, true, std::nullopt};
  }
  return {path, platform.Verify().CheckFile(path, *pid, kNoLimit), true, platform.Facts().FactsOf(*pid).container};
}

// Why a file could not be read goes to standard error, so that the lines on
// standard output keep their three fields.
void PrintReason(const std::string& argument, const Checked& checked) {
  if (checked.check.reason.empty()) return;
  std::fprintf(stderr, "proclens-cli verify: %s%s: %s\n", checked.of_process ? "process " : "",
               Visible(argument).c_str(), Visible(checked.check.reason).c_str());
}

// Whose word a check is, where it is not the system's: a user's own
// installation or mount, or the container the process runs in.
std::string AuthorityText(const Checked& checked) {
  const FileCheck& check = checked.check;
  switch (check.authority) {
    case CheckAuthority::kUserInstallation:
      return "installed for user " + check.authority_user + " only";
    case CheckAuthority::kUserMount:
      return "on a file system that user " + check.authority_user + " mounted";
    case CheckAuthority::kContainer:
      break;
    case CheckAuthority::kSystem:
      return {};
  }
  std::string text = check.state == file_state::kUntrustedRoot        ? "in a root that user " + check.authority_user +
                                                                            " can change"
                     : check.state == file_state::kChangedInContainer ? "written inside the container"
                                                                      : "as the container's own package database says";
  if (checked.container) {
    const ContainerFacts& container = *checked.container;
    text += ", in container " + (container.name.empty() ? container.id : container.name) + " (" +
            (container.image.empty() ? "" : "image " + container.image + ", ") + container.runtime + ")";
  }
  return text;
}

const char* AuthorityKind(CheckAuthority authority) {
  switch (authority) {
    case CheckAuthority::kUserInstallation: return "user-installation";
    case CheckAuthority::kUserMount: return "user-mount";
    case CheckAuthority::kContainer: return "container";
    case CheckAuthority::kSystem: break;
  }
  return "system";
}

bool IsTheInstalledFile(const FileCheck& check) {
  return check.state == file_state::kMatches || check.state == file_state::kSigned;
}

int RunVerify(const Arguments& args) {
  const bool json = args.Has("--json");
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  // Windows programs are vouched for by their signer, Linux ones by their package.
  const bool by_signer = platform->System().Traits().path_separator == '\\';
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  bool all_installed = true;
  for (const std::string& target : args.operands) {
    const Checked checked = CheckArgument(target, *platform);
    PrintReason(target, checked);
    all_installed = all_installed && IsTheInstalledFile(checked.check);
    const std::string& who = by_signer ? checked.check.signer : checked.check.package;
    if (json) {
      nlohmann::ordered_json record = {{"file", platform->Utf8(checked.file)},
                                       {"state", checked.check.state},
                                       {by_signer ? "signer" : "package", platform->Utf8(who)}};
      if (!checked.check.reason.empty()) record["reason"] = platform->Utf8(checked.check.reason);
      if (checked.check.authority != CheckAuthority::kSystem)
        record["authority"] = {{"kind", AuthorityKind(checked.check.authority)},
                               {"user", platform->Utf8(checked.check.authority_user)}};
      if (checked.container) record["container"] = ContainerJson(*checked.container, *platform);
      list.push_back(std::move(record));
    } else {
      // A fourth field only where the answer is one user's word.
      const std::string authority = AuthorityText(checked);
      std::printf("%s\t%s\t%s%s%s\n", OneField(checked.file).c_str(), checked.check.state.c_str(),
                  OneField(who).c_str(), authority.empty() ? "" : "\t", OneField(authority).c_str());
    }
  }
  if (json) PrintJson(list);
  if (!FlushOutput("verify")) return 1;
  return all_installed ? 0 : 1;
}

const RegisterCommand kRegisterVerify(
    {"verify", "PID|FILE...", 1, kAnyNumber, {{"--json", "a JSON array of objects with the same fields"}},
     "is each file the one its package installed (or signed)?",
     "For each process (its program's file) or file, one line: the file, its state\n"
     "(matches, signed, differs, replaced, in-memory, changed-in-container,\n"
     "untrusted-root, unsigned, no-package, unreadable, ...) and\n"
     "the package that installed it (on Windows: who signed it), and where the answer\n"
     "is only one user's word (their own installation or mount) or a container's, a\n"
     "fourth field that says so and names the container. Exit status 0 only when every file is the installed one.",
     RunVerify});

}  // namespace
}  // namespace proclens::cli
