// proclens-cli.exe's operations on Windows: the Toolhelp32 snapshot and the
// image-name services, version.dll, WinInet, the page templates among the
// program's own resources and the page files from GetTempFileNameA.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <optional>

#include "cli/cli_platform.h"
#include "platform/win32/win32_file_ops.h"
#include "platform/win32/win32_page_file_ops.h"
#include "platform/win32/win32_process_ops.h"
#include "platform/win32/win32_resource_ops.h"
#include "platform/win32/win32_site_ops.h"
#include "platform/win32/win32_snapshot_ops.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_verify_ops.h"
#include "platform/win32/win32_version_ops.h"
#include "platform/win32/wininet_http_ops.h"
#include "platform/win32/win32_process_facts_ops.h"

namespace proclens::cli {
namespace {

template <typename T>
T& Made(std::optional<T>& slot) {
  if (!slot) slot.emplace();
  return *slot;
}

class Win32CliPlatform : public CliPlatform {
 public:
  SystemInfo& System() override { return system_; }
  VersionOps& Versions() override { return Made(versions_); }
  HttpOps& Http() override { return Made(http_); }
  SiteOps& Site() override { return Made(site_); }
  VerifyOps& Verify() override { return Made(verify_); }
  CataloguePlatform Catalogue() override {
    return CataloguePlatform{Made(snapshots_), Made(processes_), Made(files_), system_, &Facts()};
  }
  OfflinePagePlatform Page() override {
    return OfflinePagePlatform{Versions(), system_, Made(resources_), Made(page_files_), &Verify(), &Facts()};
  }
  ProcessFactsOps& Facts() override { return Made(facts_); }
  std::string Utf8(const std::string& narrow) override {
    return win32::Utf8FromWide(win32::WideFromNarrow(narrow));
  }

 private:
  // The platform identifier is read once, here, for the whole run.
  win32::Win32SystemInfo system_;
  std::optional<win32::Win32SnapshotOps> snapshots_;
  std::optional<win32::Win32ProcessOps> processes_;
  std::optional<win32::Win32FileOps> files_;
  std::optional<win32::Win32VersionOps> versions_;
  // The program's own module holds the page templates.
  std::optional<win32::Win32ResourceOps> resources_;
  std::optional<win32::Win32PageFileOps> page_files_;
  std::optional<win32::WinInetHttpOps> http_;
  std::optional<win32::Win32ProcessFactsOps> facts_;
  std::optional<win32::Win32SiteOps> site_;
  std::optional<win32::Win32VerifyOps> verify_;
};

}  // namespace

std::unique_ptr<CliPlatform> MakeCliPlatform() { return std::make_unique<Win32CliPlatform>(); }

void UseBinaryStandardOutput() {
  // Text mode would turn every "\n" into "\r\n" and change fetched bytes.
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace proclens::cli
