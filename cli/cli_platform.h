#pragma once
// What the commands run on: the operations of the system proclens-cli was
// built for (cli_platform_linux.cpp or cli_platform_win32.cpp, chosen by
// CMake). Each operation is made when a command first asks for it.

#include <memory>
#include <string>

#include "catalogue/process_list_fill.h"
#include "infopage/offline_page.h"
#include "platform/http_ops.h"
#include "platform/site_ops.h"
#include "platform/system_info.h"
#include "platform/verify_ops.h"
#include "platform/version_ops.h"
#include "platform/process_facts_ops.h"

namespace proclens::cli {

class CliPlatform {
 public:
  virtual ~CliPlatform() = default;

  virtual SystemInfo& System() = 0;
  virtual VersionOps& Versions() = 0;
  virtual HttpOps& Http() = 0;
  virtual SiteOps& Site() = 0;
  // Whether a file is the one that installed it: dpkg's sums, or signatures.
  virtual VerifyOps& Verify() = 0;
  // Both valid while this object lives.
  virtual CataloguePlatform Catalogue() = 0;
  virtual OfflinePagePlatform Page() = 0;
  // Why a process runs and where.
  virtual ProcessFactsOps& Facts() = 0;

  // The system's narrow text (ANSI on Windows, UTF-8 on Linux) as UTF-8, for
  // JSON. Bytes that are not text in that encoding may remain invalid.
  virtual std::string Utf8(const std::string& narrow) = 0;
};

// This system's operations.
std::unique_ptr<CliPlatform> MakeCliPlatform();

// Sets standard output up so that the program's bytes reach it unchanged: no
// line-end translation, so the output is the same on both systems.
void UseBinaryStandardOutput();

}  // namespace proclens::cli
