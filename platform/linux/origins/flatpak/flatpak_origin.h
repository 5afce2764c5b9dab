#pragma once
// Programs that Flatpak deployed: a deployment lies at
// INSTALLATION/{app,runtime}/ID/ARCH/BRANCH/COMMIT/files/, so the path alone
// says which application (or runtime) a file belongs to. The catalogue shows
// a sandboxed process by that host path (see flatpak_info.h).

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/origins/flatpak/flatpak_info.h"
#include "platform/linux/origins/program_origin.h"

namespace proclens::linux_port {

class FlatpakOrigin : public ProgramOrigin {
 public:
  // installations: the Flatpak folders, the system's first (any other is a
  // user's own); nothing is read until the first question.
  explicit FlatpakOrigin(std::vector<std::string> installations);
  // /var/lib/flatpak and the user's own (~/.local/share/flatpak).
  static std::vector<std::string> DefaultInstallations();

  std::optional<std::string> InstallerOf(const ProgramFile& file) override;
  OriginTexts Describe(const ProgramFile& file, bool german) override;
  std::optional<std::string> ApplicationIcon(const ProgramFile& file) override;
  FileCheck Check(const ProgramFile& file, int image, std::uint64_t size_limit) override;

 private:
  std::optional<FlatpakDeployment> DeploymentOf(const std::string& path);
  // The application's exported desktop entry, its own installation first.
  std::optional<std::string> ExportedDesktopEntry(const FlatpakDeployment& deployment);
  // The remote the deployment came from, where its installation names it; empty otherwise.
  std::string RemoteOf(const FlatpakDeployment& deployment);

  std::vector<std::string> installations_;
  bool resolved_ = false;
};

}  // namespace proclens::linux_port
