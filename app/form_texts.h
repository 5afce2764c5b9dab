#pragma once
// The texts of the main window in both languages, in the build's narrow
// encoding. The English ones are what the window shows when it is built; the
// German ones replace them at start-up.

#include <array>
#include <string>

namespace proclens {

struct FormTexts {
  std::string top_label;  // two lines joined by a lone "\r"
  std::array<std::string, 3> column_captions;
  std::string show_in_explorer_popupmenu;
};

const FormTexts& EnglishFormTexts();
const FormTexts& GermanFormTexts();
const FormTexts& FormTextsFor(bool german);

// The same in both languages.
const std::string& WindowCaption();
const std::string& PublisherNotice();

}  // namespace proclens
