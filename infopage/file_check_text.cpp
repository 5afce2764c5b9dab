#include "infopage/file_check_text.h"

#include <string_view>
#include <vector>

#include "infopage/html_escape.h"
#include "platform/narrow_text.h"

namespace proclens {
namespace {

// %s stands for the package's or the signer's name, %u for the user whose
// own installation or mount answered (or who can change the root), %m for
// the name of a program's memory file.
struct Sentence {
  std::string_view state;
  std::string english;
  std::string german;
};

// No package, but the image that the program runs from, which the user
// started (an AppImage): the sentence names it.
constexpr std::string_view kNoPackageImage = "no-package, from an image";
// Nothing proves which image a user's own mount holds: the sentence names the user.
constexpr std::string_view kNoPackageUserMount = "no-package, from a user's mount";
// A user's own installation recorded the package for that user alone.
constexpr std::string_view kNoRecordForOneUser = "no-record, installed for one user";
constexpr std::string_view kMatchesInContainer = "matches, in a container";
constexpr std::string_view kDiffersInContainer = "differs, in a container";
constexpr std::string_view kNoRecordInContainer = "no-record, in a container";
constexpr std::string_view kNoPackageInContainer = "no-package, in a container";

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
      {kNoPackageUserMount, "This file belongs to no package: it runs from a file system that user %u mounted.",
       "Diese Datei geh" + oe + "rt zu keinem Paket: Sie l" + ae + "uft aus einem Dateisystem, das der Benutzer %u "
       "eingeh" + ae + "ngt hat."},
      {file_state::kNoRecord, "Package %s recorded no checksum for this file.",
       "Das Paket %s hat f" + ue + "r diese Datei keine Pr" + ue + "fsumme hinterlegt."},
      {kNoRecordForOneUser,
       "Package %s recorded no checksum for this file; user %u installed it for themselves only.",
       "Das Paket %s hat f" + ue + "r diese Datei keine Pr" + ue + "fsumme hinterlegt; der Benutzer %u hat es nur "
       "f" + ue + "r sich selbst installiert."},
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
      {file_state::kChangedInContainer, "Caution: this file was written inside the running container; its image did "
       "not ship it.",
       "Vorsicht: Diese Datei wurde im laufenden Container geschrieben; sein Image hat sie nicht mitgebracht."},
      {file_state::kUntrustedRoot, "Caution: user %u can change this process's root, so no package database in it "
       "can vouch for this file.",
       "Vorsicht: Der Benutzer %u kann die Wurzel dieses Prozesses " + ae + "ndern, daher kann keine "
       "Paketdatenbank darin f" + ue + "r diese Datei b" + ue + "rgen."},
      {file_state::kInMemory, "Caution: no file on any disk holds this program: the process runs it from memory "
       "(%m).",
       "Vorsicht: Keine Datei auf einem Datentr" + ae + "ger enth" + ae + "lt dieses Programm: Der Prozess f" + ue +
           "hrt es aus dem Speicher aus (%m)."},
      // What the container's own database says, as its word.
      {kMatchesInContainer, "This file is the one that package %s installed, as the container's own package "
       "database says.",
       "Diese Datei ist die, die das Paket %s installiert hat, wie die eigene Paketdatenbank des Containers sagt."},
      {kDiffersInContainer, "Caution: this file is not the one that package %s installed, as the container's own "
       "package database says.",
       "Vorsicht: Diese Datei ist nicht die, die das Paket %s installiert hat, wie die eigene Paketdatenbank des "
       "Containers sagt."},
      {kNoRecordInContainer, "Package %s recorded no checksum for this file in the container's own package database.",
       "Das Paket %s hat in der eigenen Paketdatenbank des Containers f" + ue + "r diese Datei keine Pr" + ue +
           "fsumme hinterlegt."},
      {kNoPackageInContainer, "No package of the container's own package database ships this file.",
       "Kein Paket der eigenen Paketdatenbank des Containers liefert diese Datei."},
  };
}

// The sentence's key: the state, told apart further by what the check says
// of the file's image and of whose word it is.
std::string_view SentenceKey(const FileCheck& check) {
  if (check.state == file_state::kNoPackage && check.authority == CheckAuthority::kUserMount)
    return kNoPackageUserMount;
  if (check.state == file_state::kNoPackage && !check.package.empty()) return kNoPackageImage;
  if (check.state == file_state::kNoRecord && check.authority == CheckAuthority::kUserInstallation)
    return kNoRecordForOneUser;
  if (check.authority == CheckAuthority::kContainer) {
    if (check.state == file_state::kMatches) return kMatchesInContainer;
    if (check.state == file_state::kDiffers) return kDiffersInContainer;
    if (check.state == file_state::kNoRecord) return kNoRecordInContainer;
    if (check.state == file_state::kNoPackage) return kNoPackageInContainer;
  }
  return check.state;
}

// The format with each marker replaced by its value (escaped for HTML); a
// value is never searched for markers.
std::string Fill(const std::string& format, const std::string& name, const FileCheck& check) {
  std::string text;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char marker = format[i] == '%' && i + 1 < format.size() ? format[i + 1] : '\0';
    if (marker == 's' || marker == 'u' || marker == 'm') {
      text += EscapeHtml(marker == 's' ? name : marker == 'u' ? check.authority_user : check.memory_name);
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

}  // namespace

std::string FileCheckSentence(const FileCheck& check, bool german) {
  static const std::vector<Sentence> sentences = MakeSentences();
  const std::string_view key = SentenceKey(check);
  for (const Sentence& sentence : sentences) {
    if (sentence.state != key) continue;
    const std::string& name = check.state == file_state::kSigned ? check.signer : check.package;
    return Fill(german ? sentence.german : sentence.english, name, check);
  }
  return {};
}

std::string UnseenFileSentence(const std::string& reason, bool german) {
  using namespace narrow;
  const std::string text = german ? std::string("Die Datei, die dieser Prozess ausf") + kUUmlaut +
                                        "hrt, ist hier nicht zu sehen (" + EscapeHtml(reason) +
                                        "), daher sagt diese Seite nichts " + kUUmlaut + "ber sie."
                                  : "The file that this process runs cannot be seen here (" + EscapeHtml(reason) +
                                        "), so this page says nothing about it.";
  return text;
}

}  // namespace proclens
