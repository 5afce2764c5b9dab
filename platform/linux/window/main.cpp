// The program entry: open the display, build the window, run the start-up
// sequence before the window is first shown, and run until it is closed.

#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdio>
#include <optional>

#include "app/dialog_message_box.h"
#include "app/form_texts.h"
#include "app/tform1.h"
#include "platform/linux/curl_http_ops.h"
#include "platform/linux/linux_shell_ops.h"
#include "platform/linux/linux_site_ops.h"
#include "platform/linux/gresource_resource_ops.h"
#include "platform/linux/linux_page_platform.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/origins/program_origins.h"
#include "platform/linux/window/command_line_answer.h"
#include "platform/linux/window/main_window.h"
#include "siteclient/site_base.h"

int main(int argc, char** argv) {
  // The program stores nothing between runs, and the browser pane's graphics
  // library would start a shader cache under the home folder: it stays off
  // unless the user chose otherwise. Set before any thread could read the
  // environment; the pane's helper processes inherit it.
  g_setenv("MESA_SHADER_CACHE_DISABLE", "true", FALSE);
  if (const std::optional<int> status = proclens::gtk_front::AnswerCommandLine(argc, argv)) return *status;
  // gtk_init would abort without a display; say why and leave instead.
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs("proclens: cannot open a display (is DISPLAY set?)\n", stderr);
    return 1;
  }
  Gtk::Main::init_gtkmm_internals();

  proclens::linux_port::LinuxPlatform platform;
  proclens::gtk_front::GdkScreenMetrics screen;
  proclens::gtk_front::MainWindow window;
  proclens::linux_port::GResourceResourceOps templates;
  proclens::linux_port::LinuxPagePlatform pages(platform.system, templates);
  proclens::OfflinePagePlatform page_platform = pages.Page();
  proclens::linux_port::CurlHttpOps http;
  proclens::linux_port::LinuxSiteOps site_ops;
  proclens::DialogMessageBox site_messages(window.Controls().message_dialog);
  proclens::SiteClient site(proclens::SitePlatform{http, site_ops, platform.system}, site_messages,
                            proclens::SiteBase(), proclens::WindowCaption());
  proclens::linux_port::LinuxShellOps shell([&window] { window.get_display()->beep(); });
  proclens::FormPlatform form_platform{platform.Catalogue(), screen, &page_platform};
  form_platform.site = &site;
  form_platform.shell = &shell;
  proclens::TForm1 form(window.Controls(), form_platform, [&site] { site.ComposeAgentString(); });
  window.Attach(form);
  window.Dispatch([&form] { form.FormCreate(); });
  // The first frame already shows the columns and buttons placed for the
  // window's starting size; later sizes reach FormResize from the toolkit.
  window.Dispatch([&form] { form.FormResize(); });
  // F5 gives icons to applications installed since the list was filled.
  window.before_refresh = [&platform] { platform.files.RereadIconsIfFoldersChanged(); };
  // The HTTP library is loaded after the first frame, like the browser pane:
  // the start does not wait for it, and neither does the first click. The
  // package databases are read then too, beside the window: a first click
  // would otherwise wait for every package list to be read.
  window.RunAfterFirstFrame([&http] {
    proclens::linux_port::ProgramOrigins::System().ReadAhead();
    http.Prepare();
  });
  // Programs without a desktop entry of their own (an application's helpers)
  // get the icon of one their package installs, once the first click's page
  // is on its way: the list's icons never come before the page asked for.
  window.RunAfterFirstClick([&window, &platform, &form] {
    window.Dispatch([&platform, &form] {
      platform.files.UsePackageIcons();
      form.AddMissingIcons();
    });
  });

  // Closing the window ends the program; so does losing it to the X server.
  window.signal_hide().connect([] { gtk_main_quit(); });
  window.signal_unrealize().connect([] {
    if (gtk_main_level() > 0) gtk_main_quit();
  });
  window.show();
  gtk_main();
  // The package databases may still be read on their own threads; the
  // program's exit must not run librpm's and the C library's exit handlers
  // beside them.
  proclens::linux_port::ProgramOrigins::System().FinishReadAhead();
  return 0;
}
