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
  // What a screen reader calls the controls that show no text of their own.
  std::array<std::string, 3> speed_button_names;  // large, small, report
  std::string list_view_name;
  std::string web_browser_name;
};

const FormTexts& EnglishFormTexts();
const FormTexts& GermanFormTexts();
const FormTexts& FormTextsFor(bool german);

// The same in both languages.
const std::string& WindowCaption();
// The publisher's site by name: what the logo is called.
const std::string& SiteName();
const std::string& PublisherNotice();

}  // namespace proclens
