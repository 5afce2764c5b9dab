#include "infopage/file_check_text.h"

#include <string_view>
#include <vector>

#include "infopage/html_escape.h"
#include "platform/narrow_text.h"

namespace proclens {
namespace {

// %s stands for the package's or the signer's name.
struct Sentence {
  std::string_view state;
  std::string english;
  std::string german;
};

// No package, but the image that the program runs from, which the user
// started (an AppImage): the sentence names it.
constexpr std::string_view kNoPackageImage = "no-package, from an image";

std::vector<Sentence> MakeSentences() {
  using namespace narrow;
  const std::string ue = kUUmlaut, oe = kOUmlaut, ae = kAUmlaut, ss = kSharpS;
  return {
      {file_state::kMatches, "This file is the one that package %s installed.",
       "Diese Datei ist die, die das Paket %s installiert hat."},
      {file_state::kDiffers, "Caution: this file is not the one that package %s installed.",
       "Vorsicht: Diese Datei ist nicht die, die das Paket %s installiert hat."},
      {file_state::kNoPackage, "This file belongs to no package.", "Diese Datei geh" + oe + "rt zu keinem Paket."},
      {kNoPackageImage, "This file belongs to no package: it runs from the AppImage %s.",
       "Diese Datei geh" + oe + "rt zu keinem Paket: Sie l" + ae + "uft aus dem AppImage %s."},
      {file_state::kNoRecord, "Package %s recorded no checksum for this file.",
       "Das Paket %s hat f" + ue + "r diese Datei keine Pr" + ue + "fsumme hinterlegt."},
      {file_state::kDeleted, "This program's file was deleted or replaced after it started.",
       "Die Datei dieses Programms wurde nach seinem Start gel" + oe + "scht oder ersetzt."},
      {file_state::kReplaced, "Caution: this process does not run the file that its path names.",
       "Vorsicht: Dieser Prozess f" + ue + "hrt nicht die Datei aus, die sein Pfad nennt."},
      {file_state::kUnreadable, "This file could not be read to check it.",
       "Diese Datei konnte zur Pr" + ue + "fung nicht gelesen werden."},
      {file_state::kSigned, "This file is signed by %s.", "Diese Datei ist von %s signiert."},
      {file_state::kUnsigned, "This file carries no signature.", "Diese Datei tr" + ae + "gt keine Signatur."},
      {file_state::kUntrusted, "Caution: this file's signature is not trusted.",
       "Vorsicht: Der Signatur dieser Datei wird nicht vertraut."},
      {file_state::kInvalid, "Caution: this file's signature does not match its contents.",
       "Vorsicht: Die Signatur dieser Datei passt nicht zu ihrem Inhalt."},
      {file_state::kNotChecked, "Not checked here (large file): proclens-cli verify checks it.",
       "Hier nicht gepr" + ue + "ft (gro" + ss + "e Datei): proclens-cli verify pr" + ue + "ft sie."},
  };
}

}  // namespace

std::string FileCheckSentence(const FileCheck& check, bool german) {
  static const std::vector<Sentence> sentences = MakeSentences();
  const std::string_view state =
      check.state == file_state::kNoPackage && !check.package.empty() ? kNoPackageImage : check.state;
  for (const Sentence& sentence : sentences) {
    if (sentence.state != state) continue;
    const std::string& format = german ? sentence.german : sentence.english;
    const std::size_t at = format.find("%s");
    if (at == std::string::npos) return format;
    const std::string& name = check.state == file_state::kSigned ? check.signer : check.package;
    return format.substr(0, at) + EscapeHtml(name) + format.substr(at + 2);
  }
  return {};
}

}  // namespace proclens
