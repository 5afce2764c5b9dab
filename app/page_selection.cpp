#include "app/page_selection.h"

#include <optional>
#include <utility>

namespace proclens {

std::string LowerCaseAsciiLetters(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string OnlineAddress(const std::string& site_base, const std::string& caption, bool german) {
  return site_base + (german ? "prozess/" : "process/") + LowerCaseAsciiLetters(caption) + ".html";
}

bool TitleShowsFailure(const std::string& title, const std::string& lower_caption) {
  // A title naming the process is good even when it also holds "404".
  if (!lower_caption.empty() && title.find(lower_caption) != std::string::npos) return false;
  return title == "about:blank" || title.find("404") != std::string::npos;
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
  const std::string address = OnlineAddress(site_base_, item->caption, GermanChosen(system_));
  if (!site_.UrlExists(address)) {
    show_offline_page_();
    return;
  }
  controls_.web_browser.SetTitleChangeHandler(
      [this](const std::string& title) { WebBrowserTitleChange(title); },
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

void PageSelection::WebBrowserTitleChange(const std::string& title) {
  const std::optional<ProcessItem> item = TakeHook();
  if (item && TitleShowsFailure(title, LowerCaseAsciiLetters(item->caption))) show_offline_page_();
}

void PageSelection::WebBrowserLoadFailed() {
  if (TakeHook()) show_offline_page_();
}

}  // namespace proclens
