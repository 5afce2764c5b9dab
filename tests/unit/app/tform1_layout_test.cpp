// Where the main window starts, how its columns and buttons follow its width,
// and what the view-style buttons change.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/app/form_fixture.h"

namespace proclens::fakes {
namespace {

struct ScreenCase {
  int screen_width, screen_height;
  int width, height, left, top;
};

class WindowPlacementTest : public FormFixture, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(WindowPlacementTest, SizesAndCentresFromTheScreen) {
  const ScreenCase& c = GetParam();
  screen.width = c.screen_width;
  screen.height = c.screen_height;
  Form().FormCreate();
  EXPECT_EQ(window.width, c.width);
  EXPECT_EQ(window.height, c.height);
  EXPECT_EQ(window.left, c.left);
  EXPECT_EQ(window.top, c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowPlacementTest,
    ::testing::Values(ScreenCase{1024, 768, 824, 568, 100, 100},
                      ScreenCase{800, 600, 635, 475, 82, 62},
                      ScreenCase{640, 480, 635, 475, 2, 2},
                      // Smaller than the window: it starts off the top-left, and the
                      // offsets are halved toward zero (-35 -> -17, -75 -> -37).
                      ScreenCase{600, 400, 635, 475, -17, -37},
                      ScreenCase{1920, 1080, 1720, 880, 100, 100}));

class FormResizeTest : public FormFixture {
 protected:
  void ResizeClientTo(int client_width) {
    window.width = client_width + FakeFormWindow::kFrameWidth;
    Form().FormResize();
  }
};

TEST_F(FormResizeTest, FileColumnTakesTheWidthLeftByTheOthers) {
  ResizeClientTo(784);
  EXPECT_EQ(list_view.columns[1].width, 506);  // 784 - 122 - 122 - 2 * 17
  EXPECT_EQ(list_view.columns[0].width, 122);
  EXPECT_EQ(list_view.columns[2].width, 122);
}

TEST_F(FormResizeTest, DraggedColumnWidthsAndScrollBarWidthAreReadEachTime) {
  list_view.columns[0].width = 200;
  list_view.columns[2].width = 80;
  screen.scroll_bar = 21;
  ResizeClientTo(1000);
  EXPECT_EQ(list_view.columns[1].width, 1000 - 200 - 80 - 42);
  list_view.columns[0].width = 100;
  ResizeClientTo(1000);
  EXPECT_EQ(list_view.columns[1].width, 1000 - 100 - 80 - 42);
}

TEST_F(FormResizeTest, NarrowWindowLeavesTheFileColumnEmptyNotNegative) {
  ResizeClientTo(250);  // 250 - 244 - 34 = -28
  EXPECT_EQ(list_view.columns[1].width, 0);
  ResizeClientTo(278);  // exactly nothing left
  EXPECT_EQ(list_view.columns[1].width, 0);
  ResizeClientTo(279);
  EXPECT_EQ(list_view.columns[1].width, 1);
}

TEST_F(FormResizeTest, ButtonsStandAtTheRightEdgeOnePixelApart) {
  ResizeClientTo(784);
  EXPECT_EQ(report_button.left, 746);
  EXPECT_EQ(small_button.left, 716);
  EXPECT_EQ(large_button.left, 687);
  ResizeClientTo(1000);
  EXPECT_EQ(report_button.left, 962);
  EXPECT_EQ(small_button.left, 932);
  EXPECT_EQ(large_button.left, 903);
  EXPECT_EQ(report_button.top, 7);
  EXPECT_EQ(large_button.top, 7);
}

TEST_F(FormResizeTest, ButtonsFollowTheirOwnWidths) {
  report_button.width = 40;
  small_button.width = 35;
  large_button.width = 30;
  ResizeClientTo(500);
  EXPECT_EQ(report_button.left, 450);
  EXPECT_EQ(small_button.left, 414);
  EXPECT_EQ(large_button.left, 383);
}

class ViewStyleTest : public FormFixture {
 protected:
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& item : list_view.items) captions.push_back(item.caption);
    return captions;
  }
};

TEST_F(ViewStyleTest, ButtonsSwitchTheStyleAndNothingElse) {
  system.RunProcesses({{300, "zeta.exe"}, {100, "alpha.exe"}, {200, "mid.exe"}});
  Form().FormCreate();
  const std::vector<std::string> before = Captions();
  ASSERT_EQ(before, (std::vector<std::string>{"zeta.exe", "alpha.exe", "mid.exe"}));
  const std::vector<FakeColumn> columns = list_view.columns;
  log.events.clear();

  Form().LargeSpeedButtonClick();
  EXPECT_EQ(list_view.style, ViewStyle::LargeIcons);
  Form().SmallSpeedButtonClick();
  EXPECT_EQ(list_view.style, ViewStyle::SmallIcons);
  Form().ReportSpeedButtonClick();
  EXPECT_EQ(list_view.style, ViewStyle::Report);

  EXPECT_EQ(Captions(), before);
  EXPECT_EQ(list_view.sorts, 0);
  EXPECT_EQ(list_view.columns.size(), columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    EXPECT_EQ(list_view.columns[i].caption, columns[i].caption);
    EXPECT_EQ(list_view.columns[i].width, columns[i].width);
  }
  EXPECT_EQ(log.events, (std::vector<std::string>{"list.style", "list.style", "list.style"}));
}

TEST_F(ViewStyleTest, CloseLeavesEverythingAsItIs) {
  Form().FormCreate();
  log.events.clear();
  const std::string status = status_bar.text;
  Form().FormClose();
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(status_bar.text, status);
  EXPECT_EQ(list_view.items.size(), system.snapshot->size());
}

}  // namespace
}  // namespace proclens::fakes
