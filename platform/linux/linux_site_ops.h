#pragma once
// The system facts of the site client on Linux: the kernel release, the program's
// own file, the id of the filesystem that holds it and the English locale names.

#include "platform/site_ops.h"

namespace proclens::linux_port {

class LinuxSiteOps : public SiteOps {
 public:
  // The kernel release's first two numbers ("6.1.0-13-amd64" gives 6.1).
  OsVersion VersionInfo() override;
  // The target of /proc/self/exe.
  std::string ProgramPath() override;
  // The low 32 bits of the filesystem id (statfs f_fsid) of the volume holding root_path.
  std::optional<std::uint32_t> VolumeSerial(const std::string& root_path) override;
  // The locale table's English names for the language identifier.
  std::optional<std::string> LocaleInfo(std::uint16_t lang_id, std::uint32_t item) override;
};

// "6.1.0-13-amd64" -> 6, 1; the numbers that are missing stay 0.
OsVersion KernelVersion(const char* release);

}  // namespace proclens::linux_port
