// The window's texts: both languages, in the build's narrow encoding.

#include "app/form_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace proclens {
namespace {

TEST(FormTextsTest, EnglishTextsAreThoseTheWindowIsBuiltWith) {
  const FormTexts& en = EnglishFormTexts();
  EXPECT_EQ(en.top_label,
            "What is running on your computer? What makes it slow, what is dangerous?\r"
            "Check it out: Click on a running process to get more information.");
  EXPECT_EQ(en.column_captions[0], "Running process");
  EXPECT_EQ(en.column_captions[1], "File");
  EXPECT_EQ(en.column_captions[2], "File size");
  EXPECT_EQ(en.show_in_explorer_popupmenu, "&Open file location");
}

TEST(FormTextsTest, GermanTextsCarryTheirLettersInTheNarrowEncoding) {
  const FormTexts& de = GermanFormTexts();
#if defined(_WIN32)
  const std::string ae = "\xE4", oe = "\xF6", ss = "\xDF";
#else
  const std::string ae = "\xC3\xA4", oe = "\xC3\xB6", ss = "\xC3\x9F";
#endif
  EXPECT_EQ(de.top_label, "Was l" + ae + "uft auf ihrem Rechner? Was macht ihn langsam, was ist gef" +
                              ae + "hrlich?\rFinden sie es heraus: Klicken sie auf einen aktiven " +
                              "Prozess und erfahren sie mehr.");
  EXPECT_EQ(de.column_captions[0], "Aktive Prozesse");
  EXPECT_EQ(de.column_captions[1], "Datei");
  EXPECT_EQ(de.column_captions[2], "Dateigr" + oe + ss + "e");
#if defined(_WIN32)
  EXPECT_EQ(de.show_in_explorer_popupmenu, "&Zeige in Windows Explorer");
#else
  EXPECT_EQ(de.show_in_explorer_popupmenu, "&Zeige im Dateimanager");
#endif
}

TEST(FormTextsTest, HeadlineLinesAreJoinedByACarriageReturnAlone) {
  for (const FormTexts* texts : {&EnglishFormTexts(), &GermanFormTexts()}) {
    const std::string& label = texts->top_label;
    EXPECT_EQ(label.find('\n'), std::string::npos);
    ASSERT_NE(label.find('\r'), std::string::npos);
    EXPECT_EQ(label.find('\r'), label.rfind('\r'));
    EXPECT_EQ(label[label.find('\r') - 1], '?');  // the first line ends with its question
  }
}

TEST(FormTextsTest, LanguageChoosesTheSet) {
  EXPECT_EQ(&FormTextsFor(true), &GermanFormTexts());
  EXPECT_EQ(&FormTextsFor(false), &EnglishFormTexts());
}

TEST(FormTextsTest, CaptionAndNoticeNameTheProgramAndFitOneLine) {
  EXPECT_NE(WindowCaption().find("ProcLens"), std::string::npos);
  EXPECT_NE(WindowCaption().find("proclens.example"), std::string::npos);
  for (const std::string* text : {&WindowCaption(), &PublisherNotice()}) {
    EXPECT_FALSE(text->empty());
    EXPECT_EQ(text->find_first_of("\r\n"), std::string::npos);
    for (unsigned char c : *text) EXPECT_LT(c, 0x80) << *text;  // same bytes in every build
  }
}

}  // namespace
}  // namespace proclens
