#include "platform/linux/linux_platform.h"

#include "platform/linux/origins/appimage/appimage_origin.h"
#include "platform/linux/origins/dpkg/dpkg_origin.h"
#include "platform/linux/origins/flatpak/flatpak_origin.h"
#include "platform/linux/origins/rpm/rpm_origin.h"
#include "platform/linux/origins/snap/snap_origin.h"

namespace proclens::linux_port {

ProgramOrigins SystemOrigins() {
  std::vector<std::unique_ptr<ProgramOrigin>> sources;
  sources.push_back(std::make_unique<FlatpakOrigin>(FlatpakOrigin::DefaultInstallations()));
  sources.push_back(std::make_unique<SnapOrigin>());
  sources.push_back(std::make_unique<AppImageOrigin>());
  sources.push_back(std::make_unique<DpkgOrigin>("/"));
  sources.push_back(std::make_unique<RpmOrigin>("/"));
  return ProgramOrigins(std::move(sources));
}

LinuxServices::LinuxServices(ResourceOps& templates) : origins(SystemOrigins()), resources(templates) {}

}  // namespace proclens::linux_port
