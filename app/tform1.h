#pragma once
// The main window's logic: start-up, layout, language and view styles. It
// talks to the window only through the control interfaces of app/controls.h,
// so both front-ends and the tests drive the same code.

#include <functional>
#include <string>

#include "app/controls.h"
#include "catalogue/process_list_fill.h"
#include "infopage/offline_page.h"

namespace proclens {

// What the window's handlers ask of the running system.
struct FormPlatform {
  CataloguePlatform catalogue;  // its SystemInfo also answers the Language choice
  ScreenMetrics& screen;
  // What the offline page is built from; fronts without a browser pane leave it out.
  OfflinePagePlatform* offline_page = nullptr;
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
  int AddFileIcons(const std::string& path);

  // Blanks the browser pane, then shows the page built for the selected item
  // from a new temporary file. A page file that cannot be written is reported
  // in a message box and the pane stays blank.
  void ShowOfflinePage();

 private:
  void SizeAndCentre();
  void ApplyGermanTexts();
  void RemeasureTopLabel();

  FormControls controls_;
  FormPlatform platform_;
  std::function<void()> compose_agent_string_;
  ProcessListFill list_fill_;
};

}  // namespace proclens
