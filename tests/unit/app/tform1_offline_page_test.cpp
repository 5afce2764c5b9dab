// ShowOfflinePage on fake controls: the blank page first, then the page file.

#include <gtest/gtest.h>

#include "unit/app/form_fixture.h"
#include "unit/infopage/fake_page_platform.h"

namespace proclens::fakes {
namespace {

class OfflinePageFormTest : public FormFixture {
 protected:
  OfflinePageFormTest() {
    pages.resources.rcdata["PROC_EN_HTML"] = "<title>_file_</title>_desc_";
    ProcessItem item;
    item.caption = "tool.exe";
    item.sub_items = {"C:\\Tools\\tool.exe"};
    item.image_index = 3;
    list_view.items = {item};
  }

  TForm1& PageForm(bool with_pages = true) {
    FormControls controls{window,       list_view,     large_images, small_images,
                          web_browser,  status_bar,    top_label,    large_button,
                          small_button, report_button, menu_item,    message_dialog};
    FormPlatform platform{CataloguePlatform{system, system, system, system}, screen,
                          with_pages ? &page_platform : nullptr};
    form_ = std::make_unique<TForm1>(controls, platform);
    return *form_;
  }

  testing::FakePagePlatform pages;
  OfflinePagePlatform page_platform = pages.Page();
  std::unique_ptr<TForm1> form_;
};

TEST_F(OfflinePageFormTest, BlanksThePaneThenShowsThePageFile) {
  list_view.selected = 0;
  PageForm().ShowOfflinePage();
  ASSERT_EQ(web_browser.navigations.size(), 2u);
  EXPECT_EQ(web_browser.navigations[0], "about:blank");
  EXPECT_EQ(web_browser.updates, 1);
  const std::string& file = web_browser.navigations[1];
  EXPECT_EQ(pages.files.files.at(file),
            "<title>tool.exe</title> tool.exe is located in folder C:\\Tools\\.\r\n");
  EXPECT_TRUE(message_dialog.shown.empty());
}

TEST_F(OfflinePageFormTest, TwoCallsLeaveTwoFilesWithTheSameContent) {
  list_view.selected = 0;
  TForm1& form = PageForm();
  form.ShowOfflinePage();
  form.ShowOfflinePage();
  ASSERT_EQ(web_browser.navigations.size(), 4u);
  EXPECT_EQ(web_browser.navigations[2], "about:blank");
  EXPECT_NE(web_browser.navigations[1], web_browser.navigations[3]);
  EXPECT_EQ(pages.files.files.at(web_browser.navigations[1]),
            pages.files.files.at(web_browser.navigations[3]));
}

TEST_F(OfflinePageFormTest, WithoutSelectionThePaneStaysBlank) {
  PageForm().ShowOfflinePage();
  EXPECT_EQ(web_browser.navigations, std::vector<std::string>{"about:blank"});
  EXPECT_EQ(web_browser.updates, 1);
  EXPECT_TRUE(pages.files.files.empty());
}

TEST_F(OfflinePageFormTest, UnwritableTemporaryFolderIsReportedOnceAndThePaneStaysBlank) {
  list_view.selected = 0;
  pages.files.create_fails = true;
  pages.files.error_text = "Access is denied.";
  TForm1& form = PageForm();
  EXPECT_NO_THROW(form.ShowOfflinePage());
  EXPECT_EQ(web_browser.navigations, std::vector<std::string>{"about:blank"});
  ASSERT_EQ(message_dialog.shown.size(), 1u);
  EXPECT_EQ(message_dialog.shown[0].first, WindowCaption());
  EXPECT_NE(message_dialog.shown[0].second.find("Access is denied."), std::string::npos);

  // The program goes on: the next call, with the folder back, shows the page.
  pages.files.create_fails = false;
  form.ShowOfflinePage();
  EXPECT_EQ(web_browser.navigations.size(), 3u);
  EXPECT_EQ(message_dialog.shown.size(), 1u);
}

TEST_F(OfflinePageFormTest, FrontWithoutPagePlatformOnlyBlanksThePane) {
  list_view.selected = 0;
  PageForm(false).ShowOfflinePage();
  EXPECT_EQ(web_browser.navigations, std::vector<std::string>{"about:blank"});
}

}  // namespace
}  // namespace proclens::fakes
