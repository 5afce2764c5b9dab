#pragma once
// The process item that the window would list for a process identifier, or,
// for a file, an item whose path is that file and whose caption its name.

#include <optional>
#include <string>

#include "catalogue/process_item.h"
#include "platform/linux/linux_platform.h"

namespace proclens::cli {

// No pictures in a terminal: only the image indexes, which start after the two
// built-in images as in the window.
class CountingImageList : public ImageList {
 public:
  int AddIcon(const Icon& /*icon*/) override { return count_++; }
  void RemoveLastImage() override {
    if (count_ > kFirstOwnImage) --count_;
  }

 private:
  static constexpr int kFirstOwnImage = 2;
  int count_ = kFirstOwnImage;
};

// nullopt when a process identifier is not in the list.
std::optional<ProcessItem> ListedItem(const std::string& pid_or_file,
                                      linux_port::LinuxPlatform& platform);

}  // namespace proclens::cli
