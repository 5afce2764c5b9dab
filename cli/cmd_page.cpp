// proclens-cli page PID|FILE: writes the offline information page that the
// window would show and prints the page file's path.

#include <cstdio>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/process_list_fill.h"
#include "cli/command.h"
#include "infopage/offline_page.h"
#include "infopage/page_file.h"
#include "platform/linux/linux_page_platform.h"
#include "platform/linux/linux_platform.h"
#include "siteclient/site_base.h"

namespace proclens::cli {
namespace {

constexpr char kUsage[] = "page PID|FILE";

class FoundItem : public ProcessItemList {
 public:
  explicit FoundItem(std::uint32_t pid) : pid_(pid) {}
  void InsertItem(std::size_t, ProcessItem item) override { AppendItem(std::move(item)); }
  void AppendItem(ProcessItem item) override {
    if (item.pid == pid_ && !found) found = std::move(item);
  }
  std::optional<ProcessItem> found;

 private:
  std::uint32_t pid_;
};

// Only the indexes matter: they start after the two built-in images.
class CountingImageList : public ImageList {
 public:
  int AddIcon(const Icon&) override { return count_++; }
  void RemoveLastImage() override {
    if (count_ > 2) --count_;
  }

 private:
  int count_ = 2;
};

std::optional<std::uint32_t> ParsePid(const std::string& text) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned long long value = std::stoull(text);
  if (value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// The item the window would list for the process, or, for a file, the item
// whose path is the file and whose caption is its file name.
std::optional<ProcessItem> ItemFor(const std::string& arg, linux_port::LinuxPlatform& platform) {
  CountingImageList large_images;
  CountingImageList small_images;
  if (std::optional<std::uint32_t> pid = ParsePid(arg)) {
    FoundItem list(*pid);
    ProcessListFill(platform.Catalogue(), list, large_images, small_images).FillProcessList();
    return list.found;
  }
  FoundItem unused(0);
  ProcessListFill fill(platform.Catalogue(), unused, large_images, small_images);
  ProcessItem item;
  const std::size_t slash = arg.find_last_of('/');
  item.caption = slash == std::string::npos ? arg : arg.substr(slash + 1);
  item.sub_items = {arg};
  item.image_index = fill.AddFileIcons(arg);
  return item;
}

int RunPage(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty()) {
    std::fprintf(stderr, "usage: proclens-cli %s\n", kUsage);
    return 1;
  }
  linux_port::LinuxPlatform platform;
  const std::optional<ProcessItem> item = ItemFor(args[0], platform);
  if (!item) {
    std::fprintf(stderr, "proclens-cli page: no process %s in the list\n", args[0].c_str());
    return 1;
  }
  linux_port::LinuxPagePlatform pages(platform.system);
  try {
    const std::string page = BuildOfflinePage(*item, pages.Page(), SiteBase());
    const std::string file = WritePageFile(page, pages.files, GermanChosen(platform.system));
    std::printf("%s\n", file.c_str());
  } catch (const PageFileError& failure) {
    std::fprintf(stderr, "proclens-cli page: %s\n", failure.what());
    return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterCommand kRegisterPage(
    {"page", "page PID|FILE              writes the offline page of a process or file, prints its path",
     RunPage});

}  // namespace
}  // namespace proclens::cli
