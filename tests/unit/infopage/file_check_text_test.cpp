#include "infopage/file_check_text.h"

#include <gtest/gtest.h>

namespace proclens {
namespace {

TEST(FileCheckSentence, SaysWhatTheCheckFoundWithTheNameEscaped) {
  struct Case {
    const char* state;
    const char* english;
    const char* package = "a&b";
  };
  const Case cases[] = {
      {"matches", "This file is the one that package a&amp;b installed."},
      {"differs", "Caution: this file is not the one that package a&amp;b installed."},
      {"no-package", "This file belongs to no package.", ""},
      // An AppImage's program names the image it runs from.
      {"no-package", "This file belongs to no package: it runs from the AppImage a&amp;b."},
      {"no-record", "Package a&amp;b recorded no checksum for this file."},
      {"deleted", "This program's file was deleted or replaced after it started."},
      {"replaced", "Caution: this process does not run the file that its path names."},
      {"signed", "This file is signed by &lt;Example&gt; Corp."},
      {"unsigned", "This file carries no signature."},
      {"untrusted", "Caution: this file's signature is not trusted."},
      {"invalid", "Caution: this file's signature does not match its contents."},
      {"not-checked", "Not checked here (large file): proclens-cli verify checks it."},
      {"something new", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileCheckSentence({c.state, c.package, "<Example> Corp", ""}, false), c.english) << c.state;
  }
}

TEST(FileCheckSentence, GermanSentencesNameThePackageToo) {
  EXPECT_EQ(FileCheckSentence({"matches", "bash", "", ""}, true), "Diese Datei ist die, die das Paket bash installiert hat.");
  EXPECT_EQ(FileCheckSentence({"signed", "", "Beispiel AG", ""}, true), "Diese Datei ist von Beispiel AG signiert.");
}

}  // namespace
}  // namespace proclens
