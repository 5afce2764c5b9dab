// F5: the list filled anew from a new snapshot, the user's choices kept.

#include <gtest/gtest.h>

#include "unit/app/form_fixture.h"

namespace proclens::fakes {
namespace {

class RefreshTest : public FormFixture {
 protected:
  RefreshTest() {
    Form().FormCreate();
    log.events.clear();
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const ProcessItem& item : list_view.items) captions.push_back(item.caption);
    return captions;
  }
};

TEST_F(RefreshTest, TakesANewSnapshotAfterClearingItemsAndIcons) {
  large_images.count = 7;  // icons of the first fill
  small_images.count = 7;
  system.RunProcesses({{200, "Beta.exe"}, {300, "gamma.exe"}});
  Form().RefreshProcessList();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Beta.exe", "gamma.exe"}));
  EXPECT_EQ(log.events.front(), "list.clear");
  EXPECT_EQ(large_images.count, kFixedImageCount);
  EXPECT_EQ(small_images.count, kFixedImageCount);
  EXPECT_EQ(system.snapshots_taken, 2);
}

TEST_F(RefreshTest, KeepsTheSelectedProcessTheViewStyleAndThePage) {
  Form().SmallSpeedButtonClick();
  list_view.selected = 1;  // Beta.exe, pid 200
  system.RunProcesses({{150, "new.exe"}, {100, "alpha.exe"}, {200, "Beta.exe"}});
  Form().RefreshProcessList();
  ASSERT_TRUE(list_view.SelectedItem());
  EXPECT_EQ(list_view.SelectedItem()->pid, 200u);
  EXPECT_EQ(list_view.selected, 2u);
  EXPECT_EQ(list_view.style, ViewStyle::SmallIcons);
  EXPECT_TRUE(web_browser.navigations.empty());
}

struct GoneCase {
  const char* what;
  std::vector<SnapshotEntry> after;
};

class RefreshGoneTest : public RefreshTest, public ::testing::WithParamInterface<GoneCase> {};

TEST_P(RefreshGoneTest, LeavesNothingSelected) {
  list_view.selected = 1;  // Beta.exe, pid 200
  system.RunProcesses(GetParam().after);
  Form().RefreshProcessList();
  EXPECT_FALSE(list_view.selected) << GetParam().what;
}

TEST_F(RefreshTest, IconsFoundLaterGoToTheItemsThatHadNoneAndOnlyToThem) {
  ASSERT_EQ(list_view.items.at(1).image_index, kNoImage);
  system.icons[LoggingPlatform::PathOf("Beta.exe")] = IconScript{};
  list_view.items.at(0).image_index = kMissingFileImage;  // no file: nothing to look for
  Form().AddMissingIcons();
  EXPECT_EQ(list_view.items.at(0).image_index, kMissingFileImage);
  EXPECT_EQ(list_view.items.at(1).image_index, kFixedImageCount);
  EXPECT_EQ(large_images.count, kFixedImageCount + 1);
  Form().AddMissingIcons();  // nothing is added twice
  EXPECT_EQ(large_images.count, kFixedImageCount + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefreshGoneTest,
    ::testing::Values(GoneCase{"ended", {{100, "alpha.exe"}}},
                      GoneCase{"identifier reused", {{100, "alpha.exe"}, {200, "other.exe"}}},
                      GoneCase{"name now elsewhere", {{100, "alpha.exe"}, {201, "Beta.exe"}}}));

}  // namespace
}  // namespace proclens::fakes
