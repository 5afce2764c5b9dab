// proclens-cli list [--json]: the process list as the window would fill it.

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/process_list_fill.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/listed_item.h"

namespace proclens::cli {
namespace {

class CollectedItems : public ProcessItemList {
 public:
  void InsertItem(std::size_t position, ProcessItem item) override {
    if (position > items_.size()) position = items_.size();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  }
  void AppendItem(ProcessItem item) override { items_.push_back(std::move(item)); }
  const std::vector<ProcessItem>& items() const { return items_; }

 private:
  std::vector<ProcessItem> items_;
};

std::string SubItem(const ProcessItem& item, std::size_t index) {
  return index < item.sub_items.size() ? item.sub_items[index] : std::string();
}

// A name or path may hold tabs and line breaks; one item must stay one line.
std::string OneField(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

void PrintTable(const std::vector<ProcessItem>& items) {
  for (const ProcessItem& item : items) {
    std::printf("%u\t%s\t%s\t%s\t%d\n", item.pid, OneField(item.caption).c_str(),
                OneField(SubItem(item, 0)).c_str(), OneField(SubItem(item, 1)).c_str(),
                item.image_index);
  }
}

void PrintJson(const std::vector<ProcessItem>& items, CliPlatform& platform) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const ProcessItem& item : items) {
    list.push_back({{"pid", item.pid},
                    {"caption", platform.Utf8(item.caption)},
                    {"path", platform.Utf8(SubItem(item, 0))},
                    {"size_text", platform.Utf8(SubItem(item, 1))},
                    {"image", item.image_index}});
  }
  // Process names are bytes, not always valid text.
  const std::string text = list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::printf("%s\n", text.c_str());
}

int RunList(const std::vector<std::string>& args) {
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else {
      std::fprintf(stderr, "proclens-cli list: unknown option '%s'\nusage: proclens-cli list [--json]\n",
                   arg.c_str());
      return 1;
    }
  }
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  CollectedItems items;
  CountingImageList large_images;
  CountingImageList small_images;
  ProcessListFill fill(platform->Catalogue(), items, large_images, small_images);
  fill.FillProcessList();
  if (json) {
    PrintJson(items.items(), *platform);
  } else {
    PrintTable(items.items());
  }
  if (std::fflush(stdout) != 0) {
    std::fprintf(stderr, "proclens-cli list: cannot write the list\n");
    return 1;
  }
  return 0;
}

const RegisterCommand kRegisterList(
    {"list", "list [--json]   the running processes: pid, name, path, size, image", RunList});

}  // namespace
}  // namespace proclens::cli
