#include "infopage/file_check_text.h"

#include <gtest/gtest.h>

namespace proclens {
namespace {

FileCheck CheckOf(const char* state, const char* package, const char* signer = "",
                  CheckAuthority authority = CheckAuthority::kSystem) {
  FileCheck check;
  check.state = state;
  check.package = package;
  check.signer = signer;
  check.authority = authority;
  check.authority_user = "<eve>";
  check.memory_name = "x<y>";
  return check;
}

TEST(FileCheckSentence, SaysWhatTheCheckFoundWithTheNameEscaped) {
  struct Case {
    const char* state;
    const char* english;
    const char* package = "a&b";
    CheckAuthority authority = CheckAuthority::kSystem;
  };
  const Case cases[] = {
      {"matches", "This file is the one that package a&amp;b installed."},
      {"differs", "Caution: this file is not the one that package a&amp;b installed."},
      {"no-package", "This file belongs to no package.", ""},
      // An AppImage's program names the image it runs from.
      {"no-package", "This file belongs to no package: it runs from the AppImage a&amp;b."},
      {"no-record", "Package a&amp;b recorded no checksum for this file."},
      // What one user installed or mounted for themselves is that user's word.
      {"no-record", "Package a&amp;b recorded no checksum for this file; user &lt;eve&gt; installed it for "
                    "themselves only.", "a&b", CheckAuthority::kUserInstallation},
      {"no-package", "This file belongs to no package: it runs from a file system that user &lt;eve&gt; mounted.",
       "", CheckAuthority::kUserMount},
      {"deleted", "This program's file was deleted or replaced after it started."},
      {"replaced", "Caution: this process does not run the file that its path names."},
      {"signed", "This file is signed by &lt;Example&gt; Corp."},
      {"unsigned", "This file carries no signature."},
      {"untrusted", "Caution: this file's signature is not trusted."},
      {"invalid", "Caution: this file's signature does not match its contents."},
      {"not-checked", "Not checked here (large file): proclens-cli verify checks it."},
      // A container's own database is its word, and is only as good as whoever can write it.
      {"matches", "This file is the one that package a&amp;b installed, as the container's own package database "
                  "says.", "a&b", CheckAuthority::kContainer},
      {"differs", "Caution: this file is not the one that package a&amp;b installed, as the container's own "
                  "package database says.", "a&b", CheckAuthority::kContainer},
      {"no-record", "Package a&amp;b recorded no checksum for this file in the container's own package database.",
       "a&b", CheckAuthority::kContainer},
      {"no-package", "No package of the container's own package database ships this file.", "",
       CheckAuthority::kContainer},
      {"changed-in-container", "Caution: this file was written inside the running container; its image did not "
                               "ship it.", "", CheckAuthority::kContainer},
      {"untrusted-root", "Caution: user &lt;eve&gt; can change this process's root, so no package database in it "
                         "can vouch for this file.", ""},
      {"in-memory", "Caution: no file on any disk holds this program: the process runs it from memory (x&lt;y&gt;)."},
      {"something new", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileCheckSentence(CheckOf(c.state, c.package, "<Example> Corp", c.authority), false), c.english)
        << c.state;
  }
}

TEST(FileCheckSentence, GermanSentencesNameThePackageToo) {
  EXPECT_EQ(FileCheckSentence(CheckOf("matches", "bash"), true), "Diese Datei ist die, die das Paket bash installiert hat.");
  EXPECT_EQ(FileCheckSentence(CheckOf("signed", "", "Beispiel AG"), true), "Diese Datei ist von Beispiel AG signiert.");
}

}  // namespace
}  // namespace proclens
