#include "infopage/offline_page.h"

#include <optional>

#include "catalogue/process_facts_text.h"
#include "infopage/file_check_text.h"
#include "infopage/html_escape.h"
#include "infopage/text_replace.h"
#include "infopage/version_info_reader.h"
#include "platform/narrow_text.h"
#include "platform/percent_encoding.h"

namespace proclens {
namespace {

constexpr std::size_t kShortestFolder = 4;  // "C:\" alone is a drive root, not a folder

OfflinePageLanguage MakeEnglish() {
  return {"proc_en_html",
          "unknown",
          " _file_ is located in folder %s.",
          "<BR>Read all user comments about _file_ on ",
          ".",
          "process/_file_.html",
          "No package system installed the program of the process <B>_name_</B>, so nothing on this "
          "computer says which software it belongs to or who made it."};
}

OfflinePageLanguage MakeGerman() {
  return {"proc_de_html",
          "unbekannt",
          " _file_ befindet sich im Ordner %s.",
          std::string("<BR>Lesen sie alle Kommentare von anderen Anwendern ") + narrow::kUUmlaut +
              "ber _file_ auf ",
          ".",
          "prozess/_file_.html",
          "Kein Paketsystem hat das Programm des Prozesses <B>_name_</B> installiert, daher sagt nichts auf "
          "diesem Rechner, zu welcher Software es geh" + std::string(narrow::kOUmlaut) +
              "rt oder wer es gemacht hat."};
}

// The format's first "%s" replaced by the value; the value is never read as a format.
std::string FormatOne(const std::string& format, const std::string& value) {
  const std::size_t at = format.find("%s");
  if (at == std::string::npos) return format;
  return format.substr(0, at) + value + format.substr(at + 2);
}

// The stored templates name kTemplateSiteBase; a site base set for this build
// or this run takes its place first, so that the template, the rewrites and
// the comments sentence all name one site.
std::string ShareSiteBase(const std::string& page, const std::string& site_base) {
  if (site_base == kTemplateSiteBase) return page;
  return ReplaceAllExact(page, kTemplateSiteBase, site_base);
}

// What the check of the item's file found, when the page can check it.
std::optional<FileCheck> CheckItemFile(const ItemLocation& location, const ProcessItem& item,
                                       OfflinePagePlatform platform) {
  if (platform.verify == nullptr) return std::nullopt;
  // Items of running programs carry a process identifier; a file asked for
  // by name does not, and is checked as the file it is. A process's program
  // is checked whatever its path (one in "/" itself, or in memory).
  const std::string& path = item.sub_items.empty() ? location.file_name : item.sub_items[0];
  if (item.pid != 0 && IsResolvedPath(path)) return platform.verify->CheckFile(path, item.pid, kPageCheckLimit);
  if (location.folder.empty()) return std::nullopt;
  return platform.verify->CheckFile(location.folder + location.file_name, item.pid, kPageCheckLimit);
}

// The template's marked software sentence replaced by the language's words
// that nothing installed the program; a template without the marks is kept.
std::string SayNothingInstalledIt(const std::string& page, const OfflinePageLanguage& language) {
  const std::size_t start = page.find(kOriginSentenceStart);
  if (start == std::string::npos) return page;
  const std::size_t end = page.find(kOriginSentenceEnd, start);
  if (end == std::string::npos) return page;
  return page.substr(0, start) + language.no_origin_sentence + page.substr(end + sizeof kOriginSentenceEnd - 1);
}

}  // namespace

ItemLocation LocateItemFile(const ProcessItem& item, char path_separator) {
  const std::string path = item.sub_items.empty() ? std::string() : item.sub_items[0];
  // Where "/" separates, "\\" and ":" are ordinary file-name characters: a
  // folder cut at them would not be the file's folder.
  const std::string separators = path_separator == '\\' ? "\\:" : std::string(1, path_separator);
  const std::size_t last = path.find_last_of(separators);
  if (last != std::string::npos && last + 1 >= kShortestFolder && !IsErrorText(path)) {
    return {path.substr(0, last + 1), path.substr(last + 1)};
  }
  return {"", item.caption};
}

std::string LoadTemplateText(ResourceOps& resources, const std::string& name) {
  std::optional<std::string> bytes = resources.LoadRcData(name);
  return bytes ? std::move(*bytes) : std::string();
}

const OfflinePageLanguage& PageLanguage(bool german) {
  static const OfflinePageLanguage english = MakeEnglish();
  static const OfflinePageLanguage german_texts = MakeGerman();
  return german ? german_texts : english;
}

std::string DescriptionText(const std::string& folder, const std::string& file_name, bool system_process,
                            const OfflinePageLanguage& language, const std::string& site_base) {
  // The sentences' own _file_ first, so that the folder is never searched for it.
  const auto with_file = [&file_name](const std::string& sentence) {
    return ReplaceAllExact(sentence, "_file_", file_name);
  };
  std::string text;
  if (!folder.empty()) text += FormatOne(with_file(language.folder_sentence), folder);
  if (system_process) {
    const std::string address = site_base + with_file(language.link_path);
    text += with_file(language.comments_before) + "<a href=\"" + address + "\">" + address + "</a>" +
            with_file(language.comments_after);
  }
  return text;
}

std::string FillPlaceholders(const std::string& page, const PlaceholderValues& values) {
  return ReplaceAllInOnePass(page, {{"_check_", values.check_sentence},
                                    {"_desc_", values.description_text},
                                    {"_file_", values.file_name},
                                    {"_fileNoExt_", values.file_name},
                                    {"_name_", values.name},
                                    {"_product_", values.product},
                                    {"_company_", values.company}});
}

std::string BuildOfflinePage(const ProcessItem& item, OfflinePagePlatform platform,
                             const std::string& site_base) {
  const PlatformTraits& traits = platform.system.Traits();
  const ItemLocation location = LocateItemFile(item, traits.path_separator);
  // A bare name would be searched for and could find another file of that name.
  const std::string version_file =
      location.folder.empty() ? location.file_name : location.folder + location.file_name;
  const std::string& listed = item.sub_items.empty() ? location.file_name : item.sub_items[0];
  const bool unseen = IsErrorText(listed) && !traits.describe_unseen_by_name;
  // The version texts of this process's program (a container's own, say).
  platform.versions.AskForProcess(item.pid);
  const VersionTexts version =
      unseen ? VersionTexts{} : ReadVersionInfo(version_file, {platform.versions, platform.system});
  platform.versions.AskForProcess(0);

  const OfflinePageLanguage& language = PageLanguage(GermanChosen(platform.system));
  PlaceholderValues values;
  values.file_name = EscapeHtml(location.file_name);
  values.name = version.description.empty() ? values.file_name : EscapeHtml(version.description);
  values.product = version.product.empty() ? language.unknown : EscapeHtml(version.product);
  values.company = version.company.empty() ? language.unknown : EscapeHtml(version.company);
  values.description_text = DescriptionText(EscapeHtml(location.folder), values.file_name,
                                            item.image_index == kSystemProcessImage, language, site_base);
  std::optional<ProcessFacts> facts;
  if (platform.facts != nullptr && item.pid != 0) {
    facts = platform.facts->FactsOf(item.pid);
    platform.facts->Describe(*facts);
    std::string why;
    for (const std::string& sentence : WhySentences(EscapeHtml(item.caption), *facts, GermanChosen(platform.system), EscapeHtml))
      why += (why.empty() ? "" : " ") + sentence;
    // The folder's sentence brings its own leading space.
    const std::string& rest = values.description_text;
    if (!why.empty()) values.description_text = why + (rest.empty() || rest.front() == ' ' ? "" : " ") + rest;
  }
  const std::optional<FileCheck> check = CheckItemFile(location, item, platform);
  if (check) values.check_sentence = FileCheckSentence(*check, GermanChosen(platform.system));
  if (unseen) values.check_sentence = UnseenFileSentence(listed.substr(1), GermanChosen(platform.system));
  if (facts && facts->container) {
    values.check_sentence =
        ContainerSentence(*facts, GermanChosen(platform.system), EscapeHtml) + " " + values.check_sentence;
  }

  std::string page = ShareSiteBase(LoadTemplateText(platform.resources, language.template_name),
                                   site_base);
  // A '#' or '?' in the program's folder would end a res:// address's path
  // early, and a '%' would read as an escape; where addresses are encoded the
  // resource scheme decodes the path again.
  const bool encode_path = traits.percent_encode_addresses;
  page = RewriteAddresses(
      page,
      [&platform, encode_path] {
        const std::string path = platform.files.ProgramPath();
        return encode_path ? PercentEncode(path, true) : path;
      },
      site_base,
      [&platform](std::string text) { return platform.system.UpperCase(std::move(text)); });
  // "unknown by unknown" would be no answer where no package system put the
  // program there and the file itself names nothing.
  if (!version.ok && check && check->state == file_state::kNoPackage) page = SayNothingInstalledIt(page, language);
  return FillPlaceholders(page, values);
}

}  // namespace proclens
