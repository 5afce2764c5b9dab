// proclens-cli list [--json]: the process list as the window would fill it.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/process_list_fill.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/output.h"
#include "cli/listed_item.h"
#include "cli/facts_json.h"

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

const std::string& SubItem(const ProcessItem& item, std::size_t index) {
  static const std::string kAbsent;
  return index < item.sub_items.size() ? item.sub_items[index] : kAbsent;
}

// The check of each item's file; a file the catalogue could not resolve
// cannot be read.
std::vector<std::string> CheckStates(const std::vector<ProcessItem>& items, VerifyOps& verify) {
  std::vector<std::string> states;
  for (const ProcessItem& item : items) {
    const std::string& path = SubItem(item, 0);
    states.push_back(IsResolvedPath(path) ? verify.CheckFile(path, item.pid, UINT64_MAX).state
                                          : std::string(file_state::kUnreadable));
  }
  return states;
}

// The whole table is made first and written at once: a list of a thousand
// processes is written in a few system calls.
void PrintTable(const std::vector<ProcessItem>& items, const std::vector<std::string>& states) {
  std::string table;
  table.reserve(items.size() * 128);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ProcessItem& item = items[i];
    table += std::to_string(item.pid);
    for (const std::string* field : {&item.caption, &SubItem(item, 0), &SubItem(item, 1)}) {
      table += '\t';
      AppendField(table, *field);
    }
    table += '\t' + std::to_string(item.image_index);
    if (!states.empty()) table += '\t' + states[i];
    table += '\n';
  }
  std::fwrite(table.data(), 1, table.size(), stdout);
}

void PrintJsonList(const std::vector<ProcessItem>& items, const std::vector<std::string>& states,
                   CliPlatform& platform) {
  std::vector<ProcessFacts> facts;
  facts.reserve(items.size());
  platform.Facts().Refresh();
  for (const ProcessItem& item : items) facts.push_back(platform.Facts().FactsOf(item.pid));
  platform.Facts().DescribeAll(facts);
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ProcessItem& item = items[i];
    nlohmann::ordered_json entry = {{"pid", item.pid},
                                    {"caption", platform.Utf8(item.caption)},
                                    {"path", platform.Utf8(SubItem(item, 0))},
                                    {"size_text", platform.Utf8(SubItem(item, 1))},
                                    {"image", item.image_index}};
    if (!states.empty()) entry["state"] = states[i];
    AddFactsToJson(facts[i], platform, entry);
    list.push_back(std::move(entry));
  }
  PrintJson(list);
}

int RunList(const Arguments& args) {
  const bool json = args.Has("--json");
  const bool verify = args.Has("--verify");
  const std::unique_ptr<CliPlatform> platform = MakeCliPlatform();
  CollectedItems items;
  CountingImageList large_images;
  CountingImageList small_images;
  // The rows' descriptions are the window's; the JSON says the facts themselves.
  CataloguePlatform catalogue = platform->Catalogue();
  catalogue.facts = nullptr;
  ProcessListFill fill(catalogue, items, large_images, small_images);
  fill.FillProcessList();
  const std::vector<std::string> states =
      verify ? CheckStates(items.items(), platform->Verify()) : std::vector<std::string>();
  if (json) {
    PrintJsonList(items.items(), states, *platform);
  } else {
    PrintTable(items.items(), states);
  }
  return FlushOutput("list") ? 0 : 1;
}

const RegisterCommand kRegisterList(
    {"list", "", 0, 0,
     {{"--json", "a JSON array of objects with the same fields"},
      {"--verify", "add whether each program's file is the installed one (as verify says)"}},
     "the running processes: pid, name, path, size, image (and check state)",
     "The running processes as the window lists them, one per line: process identifier,\n"
     "name, the program's path (or, after a blank, why it is not known), size text and\n"
     "image index, separated by tabs.",
     RunList});

}  // namespace
}  // namespace proclens::cli
