#include "catalogue/process_list_fill.h"

#include <algorithm>
#include <cstring>

#include "catalogue/image_path.h"
#include "catalogue/size_text.h"
#include "catalogue/process_facts_text.h"

namespace proclens {
namespace {

constexpr int kRetryProcessedLimit = 3;     // only the first entries the fill handles
constexpr std::uint32_t kRetryPidLimit = 1000;  // low identifiers are the early system processes
constexpr std::size_t kCaptionLimit = 260;

std::string CaptionOf(const std::string& exe_file) {
  std::string caption = exe_file.substr(0, exe_file.find('\0'));
  if (caption.size() > kCaptionLimit) caption.resize(kCaptionLimit);
  return caption;
}

}  // namespace

ProcessListFill::ProcessListFill(CataloguePlatform platform, ProcessItemList& list,
                                 ImageList& large_images, ImageList& small_images)
    : platform_(platform), list_(list), large_images_(large_images), small_images_(small_images) {}

void ProcessListFill::FillProcessList() {
  const PlatformTraits& traits = platform_.system.Traits();
  // Without the system directory there is nothing to retry in and nothing to
  // match against, so both rules stay off rather than matching a bare separator.
  std::string prefix;
  if (auto system_dir = platform_.system.SystemDirectory()) {
    prefix = *system_dir + traits.path_separator;
  }

  auto snapshot = platform_.snapshots.CreateSnapshot();
  if (!snapshot) return;
  if (platform_.facts != nullptr) {
    platform_.facts->Refresh();
    // The rows' descriptions are in one language, chosen once for the fill.
    german_descriptions_ = GermanChosen(platform_.system);
  }

  int processed = 0;
  std::size_t insert_at = 0;
  SnapshotEntry entry;
  while (snapshot->Next(entry)) {
    if (entry.pid < traits.first_listed_pid) continue;
    std::string path = GetProcessImagePath(entry.pid, platform_.processes, platform_.system);
    if (IsErrorText(path)) {
      std::string rescued = RetryInSystemDirectory(entry, prefix, processed);
      if (!rescued.empty()) path = std::move(rescued);
    }
    const bool resolved = IsResolvedPath(path);
    ProcessItem item = MakeItem(entry, std::move(path), prefix);
    if (resolved) {
      list_.InsertItem(insert_at++, std::move(item));
    } else {
      list_.AppendItem(std::move(item));
    }
    ++processed;
  }
}

std::string ProcessListFill::RetryInSystemDirectory(const SnapshotEntry& entry,
                                                    const std::string& prefix, int processed) {
  if (!platform_.system.Traits().system_dir_retry || prefix.empty()) return {};
  if (processed >= kRetryProcessedLimit || entry.pid >= kRetryPidLimit) return {};
  std::string candidate = prefix + entry.exe_file.substr(0, entry.exe_file.find('\0'));
  return FileExists(candidate) ? candidate : std::string();
}

ProcessItem ProcessListFill::MakeItem(const SnapshotEntry& entry, std::string path,
                                      const std::string& prefix) {
  ProcessItem item;
  item.pid = entry.pid;
  item.caption = CaptionOf(entry.exe_file);
  // One search of the file serves both its icons and its size.
  const auto file = platform_.files.FindFirstFileOf(entry.pid, path);
  item.image_index = AddIconsOf(entry.pid, path, file);
  if (item.image_index < 0 && platform_.system.Traits().system_process_rule && !prefix.empty() &&
      ContainsIgnoringCase(path, prefix) &&
      ContainsIgnoringCase(kSystemProcessNames, "|" + item.caption + "|")) {
    item.image_index = kSystemProcessImage;
  }
  const std::int64_t size = SizeOf(file);
  const bool resolved = IsResolvedPath(path);
  item.sub_items.push_back(std::move(path));
  if (resolved && size > 3) item.sub_items.push_back(FormatSizeText(size) + kSizeUnit);
  if (platform_.facts != nullptr) {
    for (const std::string& line :
         ProcessFactsLines(item.caption, platform_.facts->FactsOf(entry.pid), german_descriptions_)) {
      if (!item.description.empty()) item.description += '\n';
      item.description += line;
    }
  }
  return item;
}

int ProcessListFill::AddFileIcons(const std::string& path) {
  return AddIconsOf(0, path, platform_.files.FindFirstFile(path));
}

int ProcessListFill::AddIconsOf(std::uint32_t pid, const std::string& path, const std::optional<FileEntry>& entry) {
  if (!entry || entry->is_directory) return kMissingFileImage;
  ExtractedIcons icons = pid != 0 ? platform_.files.ExtractIconsOf(pid, path) : platform_.files.ExtractIcons(path);
  if (icons.count == 0 || !icons.small) return kNoImage;
  // A file that gives only a small icon shows it in both lists, so that every
  // index addresses the same picture in both.
  const Icon& large = icons.large ? *icons.large : *icons.small;
  if (small_images_.AddIcon(*icons.small) < 0) return kNoImage;
  const int index = large_images_.AddIcon(large);
  if (index < 0) small_images_.RemoveLastImage();
  return index < 0 ? kNoImage : index;
}

std::int64_t ProcessListFill::FileSizeOf(const std::string& path) {
  return SizeOf(platform_.files.FindFirstFile(path));
}

std::int64_t ProcessListFill::SizeOf(const std::optional<FileEntry>& entry) {
  if (!entry) return 0;
  // The whole 64-bit length: a 5 GiB file is not shown as its low 32 bits.
  return static_cast<std::int64_t>(std::min<std::uint64_t>(entry->size, INT64_MAX));
}

bool ProcessListFill::FileExists(const std::string& path) {
  const auto entry = platform_.files.FindFirstFile(path);
  return entry && !entry->is_directory;
}

bool ProcessListFill::ContainsIgnoringCase(const std::string& text, const std::string& part) {
  return platform_.system.UpperCase(text).find(platform_.system.UpperCase(part)) !=
         std::string::npos;
}

}  // namespace proclens
