// The main window's click, header, context-menu and logo handlers reach the
// page selection, the sort and the shell with the window's own controls.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/dialog_message_box.h"
#include "siteclient/site_base.h"
#include "unit/app/fake_shell.h"
#include "unit/app/form_fixture.h"
#include "unit/siteclient/site_fakes.h"

namespace proclens::fakes {
namespace {

class FormClickTest : public FormFixture {
 protected:
  FormClickTest() : site(SitePlatform{http, site_system, site_system}, dialog_box, SiteBase(), "ProcLens") {
    ProcessItem item;
    item.caption = "Tool.EXE";
    item.sub_items = {"C:\\Apps\\tool.exe", "1\xB4" "024 byte"};
    ProcessItem other;
    other.caption = "zeta.exe";
    other.sub_items = {"C:\\z\\zeta.exe"};
    list_view.items = {item, other};
    list_view.selected = 0;
    http.replies[SiteBase() + "process/tool.exe.html"] = site_fakes::FakeReply{true, 200, {}};
  }

  TForm1& ClickForm() {
    if (!form_) {
      FormControls controls{window,       list_view,     large_images, small_images,
                            web_browser,  status_bar,    top_label,    large_button,
                            small_button, report_button, menu_item,    message_dialog};
      FormPlatform platform{CataloguePlatform{system, system, system, system}, screen};
      platform.site = &site;
      platform.shell = &shell;
      form_ = std::make_unique<TForm1>(controls, platform);
    }
    return *form_;
  }

  site_fakes::FakeSiteSystem site_system;
  site_fakes::FakeHttp http;
  DialogMessageBox dialog_box{message_dialog};
  SiteClient site;
  FakeShell shell;

 private:
  std::unique_ptr<TForm1> form_;
};

TEST_F(FormClickTest, ClickShowsTheOnlinePageAndItsFailedTitleTheOfflineOne) {
  ClickForm().ListViewClick();
  const std::string address = SiteBase() + "process/tool.exe.html";
  EXPECT_EQ(web_browser.navigations, std::vector<std::string>{address});
  EXPECT_EQ(status_bar.text, address);
  EXPECT_TRUE(web_browser.HasTitleChangeHandler());

  web_browser.NotifyTitleChange("404 Not Found");
  EXPECT_FALSE(web_browser.HasTitleChangeHandler());
  ASSERT_EQ(web_browser.navigations.size(), 2u);
  EXPECT_EQ(web_browser.navigations[1], "about:blank");  // the offline page starts
}

TEST_F(FormClickTest, ReportMessageGoesThroughTheWindowsDialog) {
  http.replies[site.ReportAddress()] = site_fakes::FakeReply{true, 200, {std::string("\xA7Hi")}};
  ClickForm().ListViewClick();
  ASSERT_EQ(message_dialog.shown.size(), 1u);
  EXPECT_EQ(message_dialog.shown[0].second, "Hi");
}

TEST_F(FormClickTest, HeaderClickSortsThroughTheList) {
  ClickForm().ListViewColumnClick(0);
  EXPECT_EQ(list_view.items.front().caption, "zeta.exe");
  EXPECT_EQ(list_view.columns[0].min_width, 1);
}

TEST_F(FormClickTest, MenuAndLogoReachTheShell) {
  ClickForm().ShowInExplorerPopupmenuClick();
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].parameters, "/select, tool.exe");
  shell.results = {0};
  ClickForm().Image1Click();
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[1].file, SiteBase());
  EXPECT_EQ(shell.beeps.size(), 1u);
}

}  // namespace
}  // namespace proclens::fakes
