#pragma once
// The list and the two image lists as plain memory, so that the benchmark
// times the fill and the platform, not a widget toolkit.

#include <cstddef>
#include <iterator>
#include <vector>

#include "catalogue/process_item.h"

namespace proclens::bench {

class MemoryItemList : public ProcessItemList {
 public:
  void InsertItem(std::size_t position, ProcessItem item) override {
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  }
  void AppendItem(ProcessItem item) override { items_.push_back(std::move(item)); }
  const std::vector<ProcessItem>& items() const { return items_; }

 private:
  std::vector<ProcessItem> items_;
};

// Counts the pictures; the icon objects belong to the platform and carry no
// portable way to copy them.
class MemoryImageList : public ImageList {
 public:
  int AddIcon(const Icon&) override { return count_++; }
  void RemoveLastImage() override { --count_; }
  void KeepFixedImagesOnly() override { count_ = kFixedImageCount; }
  int count() const { return count_; }

 private:
  int count_ = 2;  // kSystemProcessImage and kMissingFileImage
};

}  // namespace proclens::bench
