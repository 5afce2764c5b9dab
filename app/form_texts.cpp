#include "app/form_texts.h"

#include "platform/narrow_text.h"

namespace proclens {
namespace {

// The German menu item names the program that will open: Windows Explorer on
// Win32, whatever file manager the desktop offers on Linux.
#if defined(_WIN32)
constexpr char kGermanShowInFileManager[] = "&Zeige in Windows Explorer";
#else
constexpr char kGermanShowInFileManager[] = "&Zeige im Dateimanager";
#endif

FormTexts MakeEnglish() {
  return FormTexts{
      "What is running on your computer? What makes it slow, what is dangerous?\r"
      "Check it out: Click on a running process to get more information.",
      {"Running process", "File", "File size"},
      "&Open file location",
      {"Large icons", "Small icons", "Details"},
      "Running processes",
      "Information page",
  };
}

FormTexts MakeGerman() {
  using namespace narrow;
  return FormTexts{
      std::string("Was l") + kAUmlaut + "uft auf ihrem Rechner? Was macht ihn langsam, was ist gef" +
          kAUmlaut + "hrlich?\r" +
          "Finden sie es heraus: Klicken sie auf einen aktiven Prozess und erfahren sie mehr.",
      {"Aktive Prozesse", "Datei", std::string("Dateigr") + kOUmlaut + kSharpS + "e"},
      kGermanShowInFileManager,
      {std::string("Gro") + kSharpS + "e Symbole", "Kleine Symbole", "Details"},
      "Aktive Prozesse",
      "Informationsseite",
  };
}

}  // namespace

const FormTexts& EnglishFormTexts() {
  static const FormTexts texts = MakeEnglish();
  return texts;
}

const FormTexts& GermanFormTexts() {
  static const FormTexts texts = MakeGerman();
  return texts;
}

const FormTexts& FormTextsFor(bool german) {
  return german ? GermanFormTexts() : EnglishFormTexts();
}

const std::string& SiteName() {
  static const std::string name = "proclens.example";
  return name;
}

const std::string& WindowCaption() {
  static const std::string caption = "ProcLens - " + SiteName();
  return caption;
}

const std::string& PublisherNotice() {
  static const std::string notice =
      "ProcLens is published by proclens.example - free to use, provided without warranty.";
  return notice;
}

}  // namespace proclens
