#pragma once
// The Linux operations that the offline page is built from, owned together.

#include "infopage/offline_page.h"
#include "platform/linux/linux_page_file_ops.h"
#include "platform/linux/origin_verify_ops.h"
#include "platform/linux/pe_version_ops.h"

namespace proclens::linux_port {

// The templates come from whoever holds them: the window's resource bundle,
// or the bytes compiled into proclens-cli.
struct LinuxPagePlatform {
  LinuxPagePlatform(SystemInfo& system_info, ResourceOps& templates)
      : system(system_info), versions(system_info), resources(templates) {}

  SystemInfo& system;
  PeVersionOps versions;
  ResourceOps& resources;
  LinuxPageFileOps files;
  OriginVerifyOps verify;

  // Valid while this object lives.
  OfflinePagePlatform Page() { return OfflinePagePlatform{versions, system, resources, files, &verify}; }
};

}  // namespace proclens::linux_port
