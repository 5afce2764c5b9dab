#pragma once
// The offline information page: the template of the user's language from the
// program's resources, its image addresses pointed at the program's own
// images, its placeholders filled from the item and the file's version texts.

#include <functional>
#include <string>

#include "catalogue/process_item.h"
#include "infopage/page_addresses.h"
#include "platform/page_file_ops.h"
#include "platform/resource_ops.h"
#include "platform/system_info.h"
#include "platform/verify_ops.h"
#include "platform/version_ops.h"
#include "platform/process_facts_ops.h"

namespace proclens {

struct OfflinePagePlatform {
  VersionOps& versions;
  SystemInfo& system;  // the Language choice, the user's language, upper-casing
  ResourceOps& resources;
  PageFileOps& files;
  // Checks the program's file for the page's last sentence; without it the
  // page has no such sentence.
  VerifyOps* verify = nullptr;
  // Why the process runs and where, said after the first sentence and before
  // the check's; without it the page says neither.
  ProcessFactsOps* facts = nullptr;
};

// Files up to this size are checked while the page is built; a larger one
// would keep the user waiting, and the page says so instead.
inline constexpr std::uint64_t kPageCheckLimit = 32u << 20;

// The site base that the stored templates are written with.
inline constexpr char kTemplateSiteBase[] = "http://proclens.example/";

// Where the item's file lies. folder keeps its final separator and is empty
// unless the first sub-item has one of at least 4 characters and is not an
// error text; file_name is then what follows it, else the item's caption.
struct ItemLocation {
  std::string folder;
  std::string file_name;
};

// Folders end at the last "\" or ":" on Windows, at the last "/" on Linux.
ItemLocation LocateItemFile(const ProcessItem& item, char path_separator);

// The RCDATA resource's bytes, unchanged; empty when it is missing.
std::string LoadTemplateText(ResourceOps& resources, const std::string& name);

// The texts of one language. The sentences are markup with the placeholder
// _file_ in them; the German ones are in the build's narrow encoding.
struct OfflinePageLanguage {
  std::string template_name;
  std::string unknown;           // product and company when the file names none
  std::string folder_sentence;   // "%s" stands for the folder
  std::string comments_before;   // the comments sentence is before + link + after
  std::string comments_after;
  std::string link_path;         // below the site base
  // In place of the template's software sentence where nothing installed the
  // program and its file names no software (_name_ stands for the name).
  std::string no_origin_sentence;
};

// A template may mark its sentence that names the software and its maker
// between these two comments, so that a page can say instead that nothing
// installed the program (the Linux templates do).
inline constexpr char kOriginSentenceStart[] = "<!--origin-->";
inline constexpr char kOriginSentenceEnd[] = "<!--/origin-->";

const OfflinePageLanguage& PageLanguage(bool german);

// The folder sentence (when there is a folder) and the comments sentence (for
// system processes), with their _file_ already filled with file_name. folder
// and file_name must already be escaped for HTML; neither is searched for
// placeholders.
std::string DescriptionText(const std::string& folder, const std::string& file_name, bool system_process,
                            const OfflinePageLanguage& language, const std::string& site_base);

struct PlaceholderValues {
  std::string description_text;
  std::string file_name;
  std::string name;
  std::string product;
  std::string company;
  std::string check_sentence;  // what the check of the file found
};

// _check_, _desc_, _file_, _fileNoExt_, _name_, _product_ and _company_ of
// the page filled with their values, as given, in one pass: a value is never
// searched for placeholders, so a package named "_company_" keeps its name.
std::string FillPlaceholders(const std::string& page, const PlaceholderValues& values);

// The finished page for the item. Values from the file and the system are
// escaped for HTML; the version texts are read from the item's full path
// when it has a folder, so a file of the same name elsewhere is never described.
std::string BuildOfflinePage(const ProcessItem& item, OfflinePagePlatform platform,
                             const std::string& site_base);

}  // namespace proclens
