#include "app/page_selection.h"

#include <optional>
#include <utility>

#include "siteclient/url_helpers.h"

namespace proclens {

std::string LowerCaseAsciiLetters(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string OnlineAddress(const std::string& site_base, const std::string& caption, bool german,
                          bool percent_encode) {
  const std::string name = LowerCaseAsciiLetters(caption);
  return site_base + (german ? "prozess/" : "process/") +
         (percent_encode ? PercentEncodePathSegment(name) : name) + ".html";
}

bool TitleShowsFailure(const PageTitle& title, const std::string& lower_caption) {
  // A title naming the process is good even when it also holds "404".
  if (!lower_caption.empty() && title.Contains(lower_caption)) return false;
  return title.Equals("about:blank") || title.Contains("404");
}

PageSelection::PageSelection(PageSelectionControls controls, SiteClient& site, SystemInfo& system,
                             std::string site_base, std::function<void()> show_offline_page)
    : controls_(controls),
      site_(site),
      system_(system),
      site_base_(std::move(site_base)),
      show_offline_page_(std::move(show_offline_page)) {}

void PageSelection::ListViewClick() {
  const std::optional<ProcessItem> item = controls_.list_view.SelectedItem();
  if (!item) return;
  // The Language choice is asked afresh at every click.
  const std::string address = OnlineAddress(site_base_, item->caption, GermanChosen(system_),
                                            system_.Traits().percent_encode_addresses);
  if (!site_.UrlExists(address)) {
    show_offline_page_();
    return;
  }
  controls_.web_browser.SetTitleChangeHandler(
      [this](const PageTitle& title) { WebBrowserTitleChange(title); },
      [this] { WebBrowserLoadFailed(); });
  controls_.web_browser.Navigate(address);
  controls_.status_bar.SetText(address);
  // Its message box dispatches events: a title change may be handled in there.
  site_.ReportFirstSelection();
}

std::optional<ProcessItem> PageSelection::TakeHook() {
  // The item selected now, which may not be the one whose page was asked for.
  std::optional<ProcessItem> item = controls_.list_view.SelectedItem();
  // Emptied before deciding, so the offline page's own "about:blank" does not
  // come back here.
  if (item) controls_.web_browser.ClearTitleChangeHandler();
  return item;
}

void PageSelection::WebBrowserTitleChange(const PageTitle& title) {
  const std::optional<ProcessItem> item = TakeHook();
  if (item && TitleShowsFailure(title, LowerCaseAsciiLetters(item->caption))) show_offline_page_();
}

void PageSelection::WebBrowserLoadFailed() {
  if (TakeHook()) show_offline_page_();
}

}  // namespace proclens
