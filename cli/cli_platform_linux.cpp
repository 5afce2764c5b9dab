// proclens-cli's operations on Linux: /proc, stat and the desktop entries,
// the portable PE reader and the packages, libcurl, the resource bundle.

#include <optional>

#include "cli/cli_platform.h"
#include "cli/embedded_templates.h"
#include "platform/linux/curl_http_ops.h"
#include "platform/linux/linux_page_platform.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_site_ops.h"

namespace proclens::cli {
namespace {

template <typename T, typename... Args>
T& Made(std::optional<T>& slot, Args&... args) {
  if (!slot) slot.emplace(args...);
  return *slot;
}

class LinuxCliPlatform : public CliPlatform {
 public:
  SystemInfo& System() override { return catalogue_.system; }
  VersionOps& Versions() override { return Pages().versions; }
  HttpOps& Http() override { return Made(http_); }
  SiteOps& Site() override { return Made(site_); }
  VerifyOps& Verify() override { return Pages().verify; }
  CataloguePlatform Catalogue() override { return catalogue_.Catalogue(); }
  OfflinePagePlatform Page() override { return Pages().Page(); }
  // Linux's narrow text is UTF-8 already.
  std::string Utf8(const std::string& narrow) override { return narrow; }

 private:
  linux_port::LinuxPagePlatform& Pages() { return Made(pages_, catalogue_.system, templates_); }

  linux_port::LinuxPlatform catalogue_;
  EmbeddedResourceOps templates_;
  std::optional<linux_port::LinuxPagePlatform> pages_;
  std::optional<linux_port::CurlHttpOps> http_;
  std::optional<linux_port::LinuxSiteOps> site_;
};

}  // namespace

std::unique_ptr<CliPlatform> MakeCliPlatform() { return std::make_unique<LinuxCliPlatform>(); }

// Linux never translates line ends.
void UseBinaryStandardOutput() {}

}  // namespace proclens::cli
