#pragma once
// Which page the browser pane shows for a clicked process: the publisher's
// online page when the site answers for it with status 200, else the offline
// page; and, on the first title an online page reports, the offline page
// again when that title shows the page failed.

#include <functional>
#include <optional>
#include <string>

#include "app/controls.h"
#include "platform/system_info.h"
#include "siteclient/site_client.h"

namespace proclens {

// Only A-Z change; every other byte, non-ASCII included, passes unchanged.
std::string LowerCaseAsciiLetters(std::string text);

// site base + "process/" ("prozess/" in German) + the lower-cased caption +
// ".html"; the caption percent-encoded when the platform asks for it, else
// nothing escaped.
std::string OnlineAddress(const std::string& site_base, const std::string& caption, bool german,
                          bool percent_encode = false);

// Whether a title shows that the online page for the lower-cased caption
// failed: it does not hold the caption, and it is "about:blank" or holds "404".
// The comparisons are made in the title's own text.
bool TitleShowsFailure(const PageTitle& title, const std::string& lower_caption);

struct PageSelectionControls {
  ListView& list_view;
  WebBrowser& web_browser;
  StatusBar& status_bar;
};

class PageSelection {
 public:
  // show_offline_page builds the offline page of the list's selected item and
  // shows it in the pane.
  PageSelection(PageSelectionControls controls, SiteClient& site, SystemInfo& system,
                std::string site_base, std::function<void()> show_offline_page);

  // The list's click: blocks for the status test, then sets the title hook,
  // navigates, shows the address and sends the run's report (in that order),
  // or shows the offline page leaving the hook and the status bar alone. A
  // refused navigation escapes and skips the rest, the hook staying set.
  void ListViewClick();

  // The hook's handler: acts on one title change while an item is selected.
  // It may run inside ListViewClick while the report's message box is open.
  void WebBrowserTitleChange(const PageTitle& title);
  // A failed load of the online page counts as a title that shows failure.
  void WebBrowserLoadFailed();

 private:
  // Empties the hook when an item is selected; the item then decides.
  std::optional<ProcessItem> TakeHook();

  PageSelectionControls controls_;
  SiteClient& site_;
  SystemInfo& system_;
  std::string site_base_;
  std::function<void()> show_offline_page_;
};

}  // namespace proclens
