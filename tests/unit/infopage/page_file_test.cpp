#include "infopage/page_file.h"

#include <gtest/gtest.h>

#include "unit/infopage/fake_page_platform.h"

namespace proclens {
namespace {

using testing::FakePageFiles;

std::string FailureText(const std::string& page, FakePageFiles& files, bool german = false) {
  try {
    WritePageFile(page, files, german);
  } catch (const PageFileError& failure) {
    return failure.what();
  }
  return "no failure";
}

TEST(WritePageFile, WritesThePageAndALineBreakIntoANewHtmFile) {
  FakePageFiles files;
  const std::string page("<html>\n\0x</html>", 16);
  const std::string path = WritePageFile(page, files, false);
  EXPECT_EQ(path.rfind("C:\\Temp\\htm", 0), 0u);
  EXPECT_EQ(files.files.at(path), page + "\r\n");
}

TEST(WritePageFile, EveryCallGetsItsOwnFile) {
  FakePageFiles files;
  const std::string first = WritePageFile("same", files, false);
  const std::string second = WritePageFile("same", files, false);
  EXPECT_NE(first, second);
  EXPECT_EQ(files.files.at(first), files.files.at(second));
}

TEST(WritePageFile, EmptyPageStillGetsItsLineBreak) {
  FakePageFiles files;
  EXPECT_EQ(files.files.at(WritePageFile("", files, false)), "\r\n");
}

TEST(WritePageFile, EachFailureSaysWhatFailedAndWhyThenStops) {
  FakePageFiles no_folder;
  no_folder.temp_folder = std::nullopt;
  no_folder.error_text = "The system cannot find the path specified.";
  EXPECT_EQ(FailureText("p", no_folder),
            "The information page cannot be shown: there is no temporary folder.\n\n"
            "The system cannot find the path specified.");
  EXPECT_TRUE(no_folder.files.empty());

  FakePageFiles no_file;
  no_file.create_fails = true;
  EXPECT_EQ(FailureText("p", no_file),
            "The information page cannot be shown: no new file can be made in the temporary "
            "folder C:\\Temp\\\n\nAccess is denied.");

  FakePageFiles no_write;
  no_write.write_fails = true;
  no_write.error_text = "There is not enough space on the disk.";
  const std::string text = FailureText("p", no_write);
  EXPECT_EQ(text.rfind("The information page cannot be shown: it cannot be written to C:\\Temp\\htm", 0),
            0u);
  EXPECT_NE(text.find("\n\nThere is not enough space on the disk."), std::string::npos);
}

TEST(WritePageFile, FailureTextsFollowTheLanguage) {
  FakePageFiles files;
  files.temp_folder = "";
  files.error_text = "";
  const std::string text = FailureText("p", files, true);
  EXPECT_EQ(text.rfind("Die Informationsseite kann nicht gezeigt werden", 0), 0u);
  EXPECT_EQ(text.find("\n\n"), std::string::npos);  // no system text, no empty paragraph
}

}  // namespace
}  // namespace proclens
