#pragma once
// The main window's logic: start-up, layout, language and view styles. It
// talks to the window only through the control interfaces of app/controls.h,
// so both front-ends and the tests drive the same code.

#include <functional>
#include <optional>
#include <string>

#include "app/controls.h"
#include "app/form_texts.h"
#include "app/page_selection.h"
#include "catalogue/process_list_fill.h"
#include "infopage/offline_page.h"
#include "platform/shell_ops.h"
#include "siteclient/site_client.h"

namespace proclens {

// What the window's handlers ask of the running system.
struct FormPlatform {
  CataloguePlatform catalogue;  // its SystemInfo also answers the Language choice
  ScreenMetrics& screen;
  // What the offline page is built from; fronts without a browser pane leave it out.
  OfflinePagePlatform* offline_page = nullptr;
  // The publisher's site for the click on a process, and the shell for the
  // context menu and the logo; a front that leaves them out has no such actions.
  SiteClient* site = nullptr;
  ShellOps* shell = nullptr;
};

class TForm1 {
 public:
  // compose_agent_string runs once during start-up, after the window has been
  // placed and before the texts are chosen; empty means nothing to compose.
  TForm1(FormControls controls, FormPlatform platform,
         std::function<void()> compose_agent_string = {});

  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Once, after the controls exist and before the window is first shown.
  void FormCreate();
  // Whenever the window gets a new size, from the creation of its native window
  // on, maximising and restoring included (so possibly during FormCreate).
  void FormResize();
  void FormClose();
  void LargeSpeedButtonClick();
  void SmallSpeedButtonClick();
  void ReportSpeedButtonClick();

  void FillProcessList();
  // Gives the listed programs that show no icon the one the platform finds
  // for them now. On Linux that is their package's application icon, which
  // is looked for only once the window has been used (the package index is
  // not read at start-up).
  void AddMissingIcons();
  int AddFileIcons(const std::string& path);
  // Only when the user asks (F5): empties the list and its icons, keeping the
  // two fixed images, and fills it from a new snapshot. A selected process
  // that is still running stays selected; the view style and the page stay.
  void RefreshProcessList();

  // Blanks the browser pane, then shows the page built for the selected item
  // from a new temporary file. A page file that cannot be written is reported
  // in a message box and the pane stays blank.
  void ShowOfflinePage();

  // The online page of the selected process when the site has one, else its
  // offline page; the title hook then watches the online page's first title.
  void ListViewClick();
  void WebBrowserTitleChange(const PageTitle& text);
  // Sorts by the column: descending first, then alternating, per column.
  void ListViewColumnClick(int column);
  void ShowInExplorerPopupmenuClick();
  void Image1Click();

 private:
  void SizeAndCentre();
  void ApplyGermanTexts();
  void RemeasureTopLabel();
  void NameControls(const FormTexts& texts);

  FormControls controls_;
  FormPlatform platform_;
  std::function<void()> compose_agent_string_;
  ProcessListFill list_fill_;
  std::optional<PageSelection> page_selection_;
};

}  // namespace proclens
