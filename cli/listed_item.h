#pragma once
// The process item that the window would list for a process identifier, or,
// for a file, an item whose path is that file and whose caption its name.

#include <optional>
#include <string>
#include <vector>

#include "catalogue/process_item.h"
#include "cli/cli_platform.h"

namespace proclens::cli {

// No pictures in a terminal: only the image indexes, which start after the two
// built-in images as in the window.
class CountingImageList : public ImageList {
 public:
  int AddIcon(const Icon& /*icon*/) override { return count_++; }
  void RemoveLastImage() override {
    if (count_ > kFirstOwnImage) --count_;
  }
  void KeepFixedImagesOnly() override { count_ = kFirstOwnImage; }

 private:
  static constexpr int kFirstOwnImage = 2;
  int count_ = kFirstOwnImage;
};

// The process identifier that the argument is, if it is one (decimal digits only).
std::optional<std::uint32_t> ParsePid(const std::string& text);

// nullopt when a process identifier is not in the list.
std::optional<ProcessItem> ListedItem(const std::string& pid_or_file, CliPlatform& platform);

// The item named by a command's PID|FILE argument; nullopt, with the reason
// on standard error, when there is none.
std::optional<ProcessItem> ItemOfArgument(const std::string& pid_or_file, CliPlatform& platform,
                                          const char* command);

// Builds the item's offline page and writes it to a new page file: its path,
// or nullopt with the reason on standard error.
std::optional<std::string> WriteItemPage(const ProcessItem& item, CliPlatform& platform,
                                         const char* command);

}  // namespace proclens::cli
