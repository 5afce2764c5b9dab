#include "infopage/page_file.h"

#include <optional>

#include "platform/narrow_text.h"

namespace proclens {
namespace {

struct PageFileTexts {
  std::string no_folder;
  std::string no_file;   // followed by the folder
  std::string no_write;  // followed by the file's path
};

const PageFileTexts& Texts(bool german) {
  static const PageFileTexts english{
      "The information page cannot be shown: there is no temporary folder.",
      "The information page cannot be shown: no new file can be made in the temporary folder ",
      "The information page cannot be shown: it cannot be written to "};
  static const PageFileTexts german_texts{
      std::string("Die Informationsseite kann nicht gezeigt werden: es gibt keinen tempor") +
          narrow::kAUmlaut + "ren Ordner.",
      std::string("Die Informationsseite kann nicht gezeigt werden: im tempor") + narrow::kAUmlaut +
          "ren Ordner kann keine neue Datei angelegt werden: ",
      "Die Informationsseite kann nicht gezeigt werden: sie kann nicht geschrieben werden in "};
  return german ? german_texts : english;
}

[[noreturn]] void Fail(const std::string& sentence, PageFileOps& files) {
  std::string message = sentence;
  const std::string reason = files.LastErrorText();
  if (!reason.empty()) message += "\n\n" + reason;
  throw PageFileError(message);
}

}  // namespace

std::string WritePageFile(const std::string& page, PageFileOps& files, bool german) {
  const PageFileTexts& texts = Texts(german);
  const std::optional<std::string> folder = files.TemporaryFolder();
  if (!folder || folder->empty()) Fail(texts.no_folder, files);
  const std::optional<std::string> path = files.CreateTemporaryFile(*folder, kPageFilePrefix);
  if (!path || path->empty()) Fail(texts.no_file + *folder, files);
  if (!files.WriteWholeFile(*path, page + "\r\n")) Fail(texts.no_write + *path, files);
  return *path;
}

}  // namespace proclens
