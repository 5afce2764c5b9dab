#include "platform/linux/window/viewer_policy.h"

#include <gtest/gtest.h>

namespace proclens::gtk_front {
namespace {

TEST(AsksToBeSaved, OnlyAnAbsentOrInlineDispositionIsShown) {
  const struct {
    const char* disposition;
    bool saved;
  } cases[] = {
      {"", false},
      {"inline", false},
      {" INLINE ; filename=page.html", false},
      {"attachment", true},
      {"Attachment; filename=\"a.html\"", true},
      {"\tattachment\t;", true},
      {"inline, attachment", true},  // two headers, joined
      {"in", true},                  // an unknown type is saved, not shown
      {"inlinex", true},
      {"filename=page.html", true},
  };
  for (const auto& c : cases) EXPECT_EQ(AsksToBeSaved(c.disposition), c.saved) << c.disposition;
}

}  // namespace
}  // namespace proclens::gtk_front
