#pragma once
// The system facts of the site client, from the Windows calls of the same name.

#include "platform/site_ops.h"

namespace proclens::win32 {

class Win32SiteOps : public SiteOps {
 public:
  // GetVersionExA, asked on the first call and remembered for the run.
  OsVersion VersionInfo() override;
  // GetModuleFileNameA of the program itself.
  std::string ProgramPath() override;
  std::optional<std::uint32_t> VolumeSerial(const std::string& root_path) override;
  std::optional<std::string> LocaleInfo(std::uint16_t lang_id, std::uint32_t item) override;
};

}  // namespace proclens::win32
