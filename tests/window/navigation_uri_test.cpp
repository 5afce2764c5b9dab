#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "platform/linux/window/gtk_web_browser.h"

namespace proclens::gtk_front {
namespace {

TEST(NavigationUri, AddressesWithASchemePassThrough) {
  EXPECT_EQ(NavigationUri("about:blank"), "about:blank");
  EXPECT_EQ(NavigationUri("http://proclens.example/process/bash.html"),
            "http://proclens.example/process/bash.html");
  EXPECT_EQ(NavigationUri("res:///usr/bin/proclens/GIF/AWARDS"), "res:///usr/bin/proclens/GIF/AWARDS");
}

TEST(NavigationUri, PlainPathsBecomeFileUris) {
  EXPECT_EQ(NavigationUri("/tmp/htmA1b2C3"), "file:///tmp/htmA1b2C3");
  // Characters that mean something in a URI are escaped, not taken as its syntax.
  EXPECT_EQ(NavigationUri("/tmp/a b#c?.html"), "file:///tmp/a%20b%23c%3F.html");
  EXPECT_EQ(NavigationUri("/tmp/x:y"), "file:///tmp/x:y");
}

TEST(NavigationUri, RelativePathsAreTakenFromTheCurrentFolder) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string uri = NavigationUri("page.html");
  EXPECT_EQ(uri.rfind("file://", 0), 0u);
  EXPECT_NE(uri.find("/page.html"), std::string::npos);
  EXPECT_EQ(uri.find(".."), std::string::npos);
  EXPECT_EQ(NavigationUri("./sub/../page.html"), uri);
}

}  // namespace
}  // namespace proclens::gtk_front
