#include "app/tform1.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "app/column_sort.h"
#include "app/form_texts.h"
#include "app/shell_actions.h"
#include "infopage/page_file.h"
#include "platform/system_info.h"
#include "siteclient/site_base.h"

namespace proclens {
namespace {

constexpr int kMinimumWidth = 635;
constexpr int kMinimumHeight = 475;
constexpr int kScreenMargin = 200;     // the window leaves this much of the screen free
constexpr int kButtonRightMargin = 10;  // between the report button and the right edge
constexpr int kButtonGap = 1;

}  // namespace

TForm1::TForm1(FormControls controls, FormPlatform platform,
               std::function<void()> compose_agent_string)
    : controls_(controls),
      platform_(platform),
      compose_agent_string_(std::move(compose_agent_string)),
      list_fill_(platform_.catalogue, controls_.list_view, controls_.large_image_list,
                 controls_.small_image_list) {
  if (platform_.site != nullptr) {
    page_selection_.emplace(
        PageSelectionControls{controls_.list_view, controls_.web_browser, controls_.status_bar},
        *platform_.site, platform_.catalogue.system, SiteBase(), [this] { ShowOfflinePage(); });
  }
}

void TForm1::FormCreate() {
  // No title change is acted on before the first click on a process.
  controls_.web_browser.ClearTitleChangeHandler();
  SizeAndCentre();
  if (compose_agent_string_) compose_agent_string_();
  const bool german = GermanChosen(platform_.catalogue.system);
  if (german) ApplyGermanTexts();
  NameControls(FormTextsFor(german));
  RemeasureTopLabel();
  controls_.status_bar.SetSimpleMode(true);
  controls_.status_bar.SetText(PublisherNotice());
  FillProcessList();
}

void TForm1::SizeAndCentre() {
  ScreenMetrics& screen = platform_.screen;
  const int width = std::max(kMinimumWidth, screen.ScreenWidth() - kScreenMargin);
  const int height = std::max(kMinimumHeight, screen.ScreenHeight() - kScreenMargin);
  controls_.form.SetOuterSize(width, height);
  // C++ division truncates toward zero, so a screen smaller than the window
  // leaves it as far off the top-left as the rule gives (-35 / 2 == -17).
  controls_.form.SetPosition((screen.ScreenWidth() - width) / 2,
                             (screen.ScreenHeight() - height) / 2);
}

void TForm1::ApplyGermanTexts() {
  const FormTexts& german = GermanFormTexts();
  controls_.top_label.SetText(german.top_label);
  for (int column = 0; column < static_cast<int>(german.column_captions.size()); ++column) {
    controls_.list_view.SetColumnCaption(column, german.column_captions[column]);
  }
  controls_.show_in_explorer_popupmenu.SetCaption(german.show_in_explorer_popupmenu);
}

void TForm1::NameControls(const FormTexts& texts) {
  controls_.large_speed_button.SetAccessibleName(texts.speed_button_names[0]);
  controls_.small_speed_button.SetAccessibleName(texts.speed_button_names[1]);
  controls_.report_speed_button.SetAccessibleName(texts.speed_button_names[2]);
  controls_.list_view.SetAccessibleName(texts.list_view_name);
  controls_.web_browser.SetAccessibleName(texts.web_browser_name);
}

void TForm1::RemeasureTopLabel() {
  // Turning auto-size off and on makes the label fit the text it holds now.
  controls_.top_label.SetAutoSize(false);
  controls_.top_label.SetAutoSize(true);
  controls_.top_label.Repaint();
}

void TForm1::FormResize() {
  ListView& list = controls_.list_view;
  const int client_width = controls_.form.ClientWidth();
  // Columns 0 and 2 are read now, so widths the user has dragged are kept. A
  // window narrower than the other two columns gets an empty column 1 rather
  // than a negative width, which the list controls do not define.
  const int file_width = client_width - list.ColumnWidth(0) - list.ColumnWidth(2) -
                         2 * platform_.screen.VerticalScrollBarWidth();
  list.SetColumnWidth(1, std::max(0, file_width));

  SpeedButton& report_button = controls_.report_speed_button;
  SpeedButton& small_button = controls_.small_speed_button;
  SpeedButton& large_button = controls_.large_speed_button;
  report_button.SetLeft(client_width - report_button.Width() - kButtonRightMargin);
  small_button.SetLeft(report_button.Left() - small_button.Width() - kButtonGap);
  large_button.SetLeft(small_button.Left() - large_button.Width() - kButtonGap);
}

// Closing the window ends the program; there is nothing to save.
void TForm1::FormClose() {}

void TForm1::LargeSpeedButtonClick() { controls_.list_view.SetViewStyle(ViewStyle::LargeIcons); }

void TForm1::SmallSpeedButtonClick() { controls_.list_view.SetViewStyle(ViewStyle::SmallIcons); }

void TForm1::ReportSpeedButtonClick() { controls_.list_view.SetViewStyle(ViewStyle::Report); }

void TForm1::FillProcessList() { list_fill_.FillProcessList(); }

int TForm1::AddFileIcons(const std::string& path) { return list_fill_.AddFileIcons(path); }

void TForm1::AddMissingIcons() {
  ListView& list = controls_.list_view;
  for (std::size_t i = 0; i < list.ItemCount(); ++i) {
    const ProcessItem item = list.Item(i);
    if (item.image_index != kNoImage || item.sub_items.empty() || !IsResolvedPath(item.sub_items[0])) continue;
    const int image = AddFileIcons(item.sub_items[0]);
    if (image != kNoImage) list.SetItemImage(i, image);
  }
}

void TForm1::RefreshProcessList() {
  ListView& list = controls_.list_view;
  const std::optional<ProcessItem> selected = list.SelectedItem();
  list.ClearItems();
  controls_.large_image_list.KeepFixedImagesOnly();
  controls_.small_image_list.KeepFixedImagesOnly();
  FillProcessList();
  if (!selected) return;
  // The same process: its identifier and its name, as a reused identifier
  // would most likely bring another name.
  for (std::size_t i = 0; i < list.ItemCount(); ++i) {
    const ProcessItem item = list.Item(i);
    if (item.pid == selected->pid && item.caption == selected->caption) {
      list.SelectIndex(i);
      return;
    }
  }
}

void TForm1::ShowOfflinePage() {
  WebBrowser& browser = controls_.web_browser;
  browser.Navigate("about:blank");
  browser.Update();
  const std::optional<ProcessItem> item = controls_.list_view.SelectedItem();
  if (!item || platform_.offline_page == nullptr) return;
  OfflinePagePlatform& page_platform = *platform_.offline_page;
  std::string page_file;
  try {
    page_file = WritePageFile(BuildOfflinePage(*item, page_platform, SiteBase()),
                              page_platform.files, GermanChosen(page_platform.system));
  } catch (const PageFileError& failure) {
    // Reported here rather than thrown, so that every caller (the click, the
    // title change) leaves the pane blank and goes on the same way.
    controls_.message_dialog.ShowModal(WindowCaption(), failure.what());
    return;
  }
  browser.Navigate(page_file);
}

void TForm1::ListViewClick() {
  if (page_selection_) page_selection_->ListViewClick();
}

void TForm1::WebBrowserTitleChange(const PageTitle& text) {
  if (page_selection_) page_selection_->WebBrowserTitleChange(text);
}

void TForm1::ListViewColumnClick(int column) { proclens::ListViewColumnClick(controls_.list_view, column); }

void TForm1::ShowInExplorerPopupmenuClick() {
  if (platform_.shell != nullptr) ShowInExplorer(*platform_.shell, controls_.list_view);
}

void TForm1::Image1Click() {
  if (platform_.shell != nullptr) OpenPublisherSite(*platform_.shell, SiteBase());
}

}  // namespace proclens
