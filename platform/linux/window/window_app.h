#pragma once
// The window's program as one object: the Linux services, the GTK window and
// its controls, the site client and the form, built in the order that each
// needs the ones before it, and started as the program starts.

#include <thread>

#include "app/dialog_message_box.h"
#include "app/tform1.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/linux_resource_ops.h"
#include "platform/linux/linux_shell_ops.h"
#include "platform/linux/window/main_window.h"
#include "siteclient/site_client.h"

namespace proclens::gtk_front {

class WindowApp {
 public:
  // GTK must have a display already.
  WindowApp();
  ~WindowApp();
  WindowApp(const WindowApp&) = delete;
  WindowApp& operator=(const WindowApp&) = delete;

  // The start-up sequence before the window is first shown, and what the
  // window reads after its first frame and its first click.
  void Start();
  // Shows the window and runs until it is closed.
  void Run();

 private:
  linux_port::LinuxResourceOps templates_;
  linux_port::LinuxServices services_{templates_};
  OfflinePagePlatform page_platform_ = services_.Page();
  GdkScreenMetrics screen_;
  MainWindow window_;
  DialogMessageBox site_messages_{window_.Controls().message_dialog};
  SiteClient site_;
  linux_port::LinuxShellOps shell_;
  TForm1 form_;
  // Asks systemd about the listed processes' units beside the window.
  std::thread units_worker_;
};

}  // namespace proclens::gtk_front
