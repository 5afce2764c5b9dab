// The offline page for every process on the machine: the time to build and
// write one page (version read, template, rewrites, placeholders, the page
// file), per process the median of several rounds; printed as the median and
// the worst over all processes. Files named on the command line join the
// processes as items of their own (PE files with version texts, say).
//
// Baseline, measured in the same run: writing the same number of bytes into a
// new temporary file, the floor under any page that ends up in a file.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/process_list_fill.h"
#include "infopage/offline_page.h"
#include "infopage/page_file.h"
#include "platform/linux/linux_resource_ops.h"
#include "platform/linux/linux_platform.h"
#include "siteclient/site_base.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 7;

class CollectedItems : public proclens::ProcessItemList {
 public:
  void InsertItem(std::size_t, proclens::ProcessItem item) override { items.push_back(std::move(item)); }
  void AppendItem(proclens::ProcessItem item) override { items.push_back(std::move(item)); }
  std::vector<proclens::ProcessItem> items;
};

class CountingImageList : public proclens::ImageList {
 public:
  int AddIcon(const proclens::Icon&) override { return count_++; }
  void RemoveLastImage() override { --count_; }
  void KeepFixedImagesOnly() override { count_ = proclens::kFixedImageCount; }

 private:
  int count_ = 2;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <typename Work>
double MedianSeconds(Work&& work) {
  std::vector<double> rounds;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    work();
    rounds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  return Median(rounds);
}

std::vector<proclens::ProcessItem> Items(proclens::linux_port::LinuxServices& platform, int argc,
                                         char** argv) {
  CollectedItems list;
  CountingImageList large;
  CountingImageList small;
  proclens::ProcessListFill fill(platform.Catalogue(), list, large, small);
  fill.FillProcessList();
  for (int i = 1; i < argc; ++i) {
    proclens::ProcessItem item;
    item.sub_items = {argv[i]};
    item.caption = std::filesystem::path(argv[i]).filename().string();
    item.image_index = fill.AddFileIcons(argv[i]);
    list.items.push_back(item);
  }
  return list.items;
}

}  // namespace

int main(int argc, char** argv) {
  char folder_template[] = "/tmp/proclens-page-bench.XXXXXX";
  if (::mkdtemp(folder_template) == nullptr) return 1;
  const std::string folder = folder_template;
  ::setenv("TMPDIR", folder.c_str(), 1);

  proclens::linux_port::LinuxResourceOps templates;
  proclens::linux_port::LinuxServices platform(templates);
  const std::vector<proclens::ProcessItem> items = Items(platform, argc, argv);
  const std::string site_base = proclens::SiteBase();

  std::vector<double> page_seconds;
  std::vector<double> floor_seconds;
  std::string worst_item;
  double worst = 0;
  std::size_t page_bytes = 0;
  for (const proclens::ProcessItem& item : items) {
    std::string page;
    const double seconds = MedianSeconds([&] {
      page = proclens::BuildOfflinePage(item, platform.Page(), site_base);
      proclens::WritePageFile(page, platform.page_files, false);
    });
    const double floor = MedianSeconds([&] {
      const auto path = platform.page_files.CreateTemporaryFile(folder + "/", "flr");
      if (path) platform.page_files.WriteWholeFile(*path, page);
    });
    page_seconds.push_back(seconds);
    floor_seconds.push_back(floor);
    page_bytes = std::max(page_bytes, page.size());
    if (seconds > worst) {
      worst = seconds;
      worst_item = item.caption + " (" + (item.sub_items.empty() ? "" : item.sub_items[0]) + ")";
    }
  }
  std::filesystem::remove_all(folder);
  if (items.empty()) return 1;

  const double median = Median(page_seconds);
  const double floor_median = Median(floor_seconds);
  std::printf("offline page, build and write, %zu items, median of %d rounds each\n", items.size(), kRounds);
  std::printf("  median  %8.3f ms   goal under 2 ms: %s\n", median * 1e3, median < 0.002 ? "met" : "missed");
  std::printf("  worst   %8.3f ms   %s\n", worst * 1e3, worst_item.c_str());
  std::printf("baseline: the same bytes (up to %zu) written to a new temporary file\n", page_bytes);
  std::printf("  median  %8.3f ms   page / baseline = %.2f\n", floor_median * 1e3, median / floor_median);
  return 0;
}
