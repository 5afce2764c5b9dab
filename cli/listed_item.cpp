#include "cli/listed_item.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "catalogue/process_list_fill.h"
#include "cli/output.h"
#include "infopage/offline_page.h"
#include "infopage/page_file.h"
#include "siteclient/site_base.h"

namespace proclens::cli {
namespace {

// Keeps the first item of one process out of the list fill.
class OneProcess : public ProcessItemList {
 public:
  explicit OneProcess(std::uint32_t pid) : pid_(pid) {}
  void InsertItem(std::size_t, ProcessItem item) override { AppendItem(std::move(item)); }
  void AppendItem(ProcessItem item) override {
    if (item.pid == pid_ && !found) found = std::move(item);
  }
  std::optional<ProcessItem> found;

 private:
  std::uint32_t pid_;
};

}  // namespace

std::optional<std::uint32_t> ParsePid(const std::string& text) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned long long value = std::stoull(text);
  if (value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<ProcessItem> ListedItem(const std::string& pid_or_file, CliPlatform& platform) {
  CountingImageList large_images;
  CountingImageList small_images;
  if (std::optional<std::uint32_t> pid = ParsePid(pid_or_file)) {
    OneProcess list(*pid);
    ProcessListFill(platform.Catalogue(), list, large_images, small_images).FillProcessList();
    return list.found;
  }
  OneProcess nothing(0);
  ProcessListFill fill(platform.Catalogue(), nothing, large_images, small_images);
  ProcessItem item;
  // The caption is the file's name, as a snapshot would report it.
  const bool windows_paths = platform.System().Traits().path_separator == '\\';
  const std::size_t slash = pid_or_file.find_last_of(windows_paths ? "\\/:" : "/");
  item.caption = slash == std::string::npos ? pid_or_file : pid_or_file.substr(slash + 1);
  item.sub_items = {pid_or_file};
  item.image_index = fill.AddFileIcons(pid_or_file);
  return item;
}

std::optional<ProcessItem> ItemOfArgument(const std::string& pid_or_file, CliPlatform& platform,
                                          const char* command) {
  if (pid_or_file.empty()) {
    std::fprintf(stderr, "proclens-cli %s: an empty name is neither a process nor a file\n", command);
    return std::nullopt;
  }
  std::optional<ProcessItem> item = ListedItem(pid_or_file, platform);
  if (!item) std::fprintf(stderr, "proclens-cli %s: no process %s in the list\n", command, Visible(pid_or_file).c_str());
  return item;
}

std::optional<std::string> WriteItemPage(const ProcessItem& item, CliPlatform& platform,
                                         const char* command) {
  try {
    const OfflinePagePlatform pages = platform.Page();
    const std::string page = BuildOfflinePage(item, pages, SiteBase());
    return WritePageFile(page, pages.files, GermanChosen(pages.system));
  } catch (const PageFileError& failure) {
    std::fprintf(stderr, "proclens-cli %s: %s\n", command, Visible(failure.what()).c_str());
    return std::nullopt;
  }
}

}  // namespace proclens::cli
