#pragma once
// The process list and the two image lists as the fill writes them, kept in
// memory so that tests can read back order, images and failed additions.

#include <string>
#include <vector>

#include "catalogue/process_item.h"

namespace proclens::fakes {

class RecordingItemList : public ProcessItemList {
 public:
  void InsertItem(std::size_t position, ProcessItem item) override;
  void AppendItem(ProcessItem item) override;

  std::vector<ProcessItem> items;
  bool insert_out_of_range = false;  // set when a position beyond the end was asked for
};

class RecordingImageList : public ImageList {
 public:
  int AddIcon(const Icon& icon) override;
  void RemoveLastImage() override;
  void KeepFixedImagesOnly() override { images.resize(kFixedImageCount); }

  // The two pictures every list starts with, then the name of each icon added.
  std::vector<std::string> images = {"system-process", "missing-file"};
  bool fail_additions = false;
};

}  // namespace proclens::fakes
