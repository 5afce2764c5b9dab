#include "platform/linux/window/gtk_image_list.h"

#include <gtest/gtest.h>

#include "platform/linux/desktop/desktop_icon.h"

namespace proclens::gtk_front {
namespace {

class OtherIcon : public Icon {};

TEST(GtkImageList, StartsWithTheTwoPicturesOfItsSize) {
  for (int size : {16, 32}) {
    GtkImageList images(size);
    ASSERT_EQ(images.Count(), 2);
    for (int index : {kSystemProcessImage, kMissingFileImage}) {
      ASSERT_TRUE(images.Image(index)) << size << " " << index;
      EXPECT_EQ(images.Image(index)->get_width(), size);
      EXPECT_EQ(images.Image(index)->get_height(), size);
    }
    EXPECT_FALSE(images.Image(kNoImage));
    EXPECT_FALSE(images.Image(2));
  }
}

TEST(GtkImageList, LoadsAFileIconAtItsOwnSizeAndRemovesTheLast) {
  GtkImageList images(16);
  // The serialized form of a file icon is its path.
  const linux_port::DesktopIcon icon(PROCLENS_TEST_ICON);
  EXPECT_EQ(images.AddIcon(icon), 2);
  EXPECT_EQ(images.AddIcon(icon), 3);  // each addition is an image of its own
  ASSERT_TRUE(images.Image(3));
  EXPECT_EQ(images.Image(3)->get_width(), 16);
  images.RemoveLastImage();
  EXPECT_EQ(images.Count(), 3);
}

TEST(GtkImageList, IconsThatCannotBeLoadedAreNotAdded) {
  GtkImageList images(32);
  EXPECT_EQ(images.AddIcon(OtherIcon()), -1);
  EXPECT_EQ(images.AddIcon(linux_port::DesktopIcon("")), -1);
  EXPECT_EQ(images.AddIcon(linux_port::DesktopIcon("/no/such/icon.png")), -1);
  EXPECT_EQ(images.AddIcon(linux_port::DesktopIcon("proclens-no-such-themed-icon-name")), -1);
  EXPECT_EQ(images.Count(), 2);
}

}  // namespace
}  // namespace proclens::gtk_front
