#include "platform/linux/window/window_app.h"

#include <gtk/gtk.h>

#include "app/form_texts.h"
#include "siteclient/site_base.h"

namespace proclens::gtk_front {
namespace {

FormPlatform FormPlatformOf(linux_port::LinuxServices& services, GdkScreenMetrics& screen, OfflinePagePlatform& page,
                            SiteClient& site, linux_port::LinuxShellOps& shell) {
  FormPlatform platform{services.Catalogue(), screen, &page};
  platform.site = &site;
  platform.shell = &shell;
  return platform;
}

}  // namespace

WindowApp::WindowApp()
    : site_(SitePlatform{services_.http, services_.site, services_.system}, site_messages_, SiteBase(), WindowCaption()),
      shell_([this] { window_.get_display()->beep(); }),
      form_(window_.Controls(), FormPlatformOf(services_, screen_, page_platform_, site_, shell_),
            [this] { site_.ComposeAgentString(); }) {}

WindowApp::~WindowApp() {
  if (units_worker_.joinable()) units_worker_.join();
}

void WindowApp::Start() {
  window_.Attach(form_);
  window_.Dispatch([this] { form_.FormCreate(); });
  // The first frame already shows the columns and buttons placed for the
  // window's starting size; later sizes reach FormResize from the toolkit.
  window_.Dispatch([this] { form_.FormResize(); });
  // F5 gives icons to applications installed since the list was filled.
  window_.before_refresh = [this] { services_.files.RereadIconsIfFoldersChanged(); };
  // The HTTP library is loaded after the first frame, like the browser pane:
  // the start does not wait for it, and neither does the first click. The
  // package databases are read then too, beside the window: a first click
  // would otherwise wait for every package list to be read.
  // The units of the listed processes are described then as well, on a
  // thread of their own: systemd may take its whole time-out to answer, and
  // a refresh or a page afterwards finds the answers at hand.
  window_.RunAfterFirstFrame([this] {
    services_.origins.ReadAhead();
    services_.http.Prepare();
    units_worker_ = std::thread([this] { services_.facts.DescribeSeenUnits(); });
  });
  // Programs without a desktop entry of their own (an application's helpers)
  // get the icon of one their package installs, once the first click's page
  // is on its way: the list's icons never come before the page asked for.
  window_.RunAfterFirstClick([this] {
    window_.Dispatch([this] {
      services_.files.UsePackageIcons(services_.origins);
      form_.AddMissingIcons();
    });
  });
}

void WindowApp::Run() {
  // Closing the window ends the program; so does losing it to the X server.
  window_.signal_hide().connect([] { gtk_main_quit(); });
  window_.signal_unrealize().connect([] {
    if (gtk_main_level() > 0) gtk_main_quit();
  });
  window_.show();
  gtk_main();
}

}  // namespace proclens::gtk_front
