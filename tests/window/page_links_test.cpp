#include "platform/linux/window/page_links.h"

#include <gtest/gtest.h>

namespace proclens::gtk_front {
namespace {

TEST(OpensInDefaultBrowser, WebAndMailAddressesOnly) {
  EXPECT_TRUE(OpensInDefaultBrowser("http://proclens.example/process/a.exe.html"));
  EXPECT_TRUE(OpensInDefaultBrowser("HTTPS://proclens.example/"));
  EXPECT_TRUE(OpensInDefaultBrowser("mailto:someone@proclens.example"));
  EXPECT_FALSE(OpensInDefaultBrowser("file:///tmp/htm1.html"));
  EXPECT_FALSE(OpensInDefaultBrowser("res:///usr/bin/proclens/GIF/AWARDS"));
  EXPECT_FALSE(OpensInDefaultBrowser("javascript:alert(1)"));
  EXPECT_FALSE(OpensInDefaultBrowser("/usr/bin/xterm"));
  EXPECT_FALSE(OpensInDefaultBrowser("http:"));
  EXPECT_FALSE(OpensInDefaultBrowser(""));
}

}  // namespace
}  // namespace proclens::gtk_front
