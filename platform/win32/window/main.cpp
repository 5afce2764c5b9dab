// The program entry: COM for the browser pane, the common controls, the
// window built and filled before it is first shown, then the message loop
// until the window is closed.

#include "app/dialog_message_box.h"
#include "app/form_texts.h"
#include "app/tform1.h"
#include "siteclient/site_base.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_file_ops.h"
#include "platform/win32/win32_page_file_ops.h"
#include "platform/win32/win32_process_facts_ops.h"
#include "platform/win32/win32_process_ops.h"
#include "platform/win32/win32_resource_ops.h"
#include "platform/win32/win32_shell_ops.h"
#include "platform/win32/win32_site_ops.h"
#include "platform/win32/win32_snapshot_ops.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_verify_ops.h"
#include "platform/win32/win32_version_ops.h"
#include "platform/win32/wininet_http_ops.h"
#include "platform/win32/window/command_line_answer.h"
#include "platform/win32/window/main_window.h"

#include <objbase.h>

#include <optional>

namespace {

// CoInitialize for the user-interface thread, undone when the program ends.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

int RunMessageLoop(proclens::win32::MainWindow& window) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (window.TranslateKeys(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using namespace proclens;
  if (const std::optional<int> status = win32::AnswerCommandLine()) return *status;
  ComApartment com;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  // The platform identifier is read once, here, for the whole run.
  win32::Win32SystemInfo system;
  win32::Win32SnapshotOps snapshots;
  win32::Win32ProcessOps processes;
  win32::Win32FileOps files;
  win32::Win32ScreenMetrics screen;
  // Why each process runs: the rows' descriptions and the offline page's sentence.
  win32::Win32ProcessFactsOps facts;

  win32::MainWindow window;
  if (!window.Create(instance)) return 1;
  win32::WinInetHttpOps http;
  win32::Win32SiteOps site_ops;
  DialogMessageBox site_messages(window.Controls().message_dialog);
  SiteClient site(SitePlatform{http, site_ops, system}, site_messages, SiteBase(), WindowCaption());
  win32::Win32ShellOps shell([&window] { return window.handle(); });
  FormPlatform platform{{snapshots, processes, files, system, &facts}, screen};
  platform.site = &site;
  platform.shell = &shell;
  win32::Win32VersionOps versions;
  win32::Win32ResourceOps resources;
  win32::Win32PageFileOps page_files;
  win32::Win32VerifyOps verify;
  OfflinePagePlatform page_platform{versions, system, resources, page_files, &verify, &facts};
  platform.offline_page = &page_platform;
  TForm1 form(window.Controls(), platform, [&site] { site.ComposeAgentString(); });
  window.Attach(form);
  window.Dispatch([&form] { form.FormCreate(); });

  ShowWindow(window.handle(), show);
  UpdateWindow(window.handle());
  // The list has the keyboard from the start: arrows, Enter, the menu key.
  SetFocus(window.list_view().handle());
  return RunMessageLoop(window);
}
