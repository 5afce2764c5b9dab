#include "infopage/html_escape.h"

#include <gtest/gtest.h>

namespace proclens {
namespace {

TEST(EscapeHtml, MarkupAndQuotesBecomeCharacterReferences) {
  EXPECT_EQ(EscapeHtml("<script>alert('x')</script>"),
            "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;");
  EXPECT_EQ(EscapeHtml("\" onload=\"run()"), "&quot; onload=&quot;run()");
  // An ampersand is escaped first of all, so a reference in the text stays text.
  EXPECT_EQ(EscapeHtml("Tom &amp; Jerry & Co"), "Tom &amp;amp; Jerry &amp; Co");
}

TEST(EscapeHtml, OtherBytesPassUnchanged) {
  EXPECT_EQ(EscapeHtml(""), "");
  EXPECT_EQ(EscapeHtml("C:\\Programme\\M\xFCller Soft\\"), "C:\\Programme\\M\xFCller Soft\\");
  EXPECT_EQ(EscapeHtml("Gr\xC3\xB6\xC3\x9F" "e %s _file_"), "Gr\xC3\xB6\xC3\x9F" "e %s _file_");
  const std::string with_zero("a\0b", 3);
  EXPECT_EQ(EscapeHtml(with_zero), with_zero);
}

}  // namespace
}  // namespace proclens
