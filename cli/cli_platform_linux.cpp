// proclens-cli's operations on Linux: /proc, stat and the desktop entries,
// the portable PE reader and the packages, libcurl, the resource bundle.

#include "cli/cli_platform.h"
#include "cli/embedded_templates.h"
#include "platform/linux/linux_platform.h"

namespace proclens::cli {
namespace {

class LinuxCliPlatform : public CliPlatform {
 public:
  SystemInfo& System() override { return services_.system; }
  VersionOps& Versions() override { return services_.versions; }
  HttpOps& Http() override { return services_.http; }
  SiteOps& Site() override { return services_.site; }
  VerifyOps& Verify() override { return services_.verify; }
  CataloguePlatform Catalogue() override { return services_.Catalogue(); }
  OfflinePagePlatform Page() override { return services_.Page(); }
  ProcessFactsOps& Facts() override { return services_.facts; }
  // Linux's narrow text is UTF-8 already.
  std::string Utf8(const std::string& narrow) override { return narrow; }

 private:
  EmbeddedResourceOps templates_;
  linux_port::LinuxServices services_{templates_};
};

}  // namespace

std::unique_ptr<CliPlatform> MakeCliPlatform() { return std::make_unique<LinuxCliPlatform>(); }

// Linux never translates line ends.
void UseBinaryStandardOutput() {}

}  // namespace proclens::cli
