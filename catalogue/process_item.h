#pragma once
// One row of the process list, and the places the list fill writes into.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_ops.h"

namespace proclens {

inline constexpr int kSystemProcessImage = 0;
inline constexpr int kMissingFileImage = 1;
inline constexpr int kNoImage = -1;

struct ProcessItem {
  std::uint32_t pid = 0;  // not shown; lets a caller find the process again
  std::string caption;    // the executable's file name as the snapshot reports it
  // [0]: the resolved path, or an error text that begins with one blank;
  // [1]: the size text, only for resolved files larger than 3 bytes.
  std::vector<std::string> sub_items;
  int image_index = kNoImage;  // valid in both image lists
  // Why the process runs and where, one fact a line: not shown in the
  // columns, but as the row's tooltip and its description for screen readers.
  std::string description;
};

// An error text is told from a path by its first character alone.
inline bool IsErrorText(const std::string& path) { return !path.empty() && path[0] == ' '; }
inline bool IsResolvedPath(const std::string& path) { return !path.empty() && path[0] != ' '; }

// The list's items as the fill sees them.
class ProcessItemList {
 public:
  virtual ~ProcessItemList() = default;
  virtual void InsertItem(std::size_t position, ProcessItem item) = 0;
  virtual void AppendItem(ProcessItem item) = 0;
};

// One of the two image lists (32x32 and 16x16); both start with the two
// pictures kSystemProcessImage and kMissingFileImage.
class ImageList {
 public:
  virtual ~ImageList() = default;
  // Appends a copy of the icon (ImageList_ReplaceIcon with -1); its index, or -1.
  virtual int AddIcon(const Icon& icon) = 0;
  // Drops the last image; keeps the two lists in step when one addition failed.
  virtual void RemoveLastImage() = 0;
  // Drops every image after the two it started with, before a new fill.
  virtual void KeepFixedImagesOnly() = 0;
};

inline constexpr int kFixedImageCount = 2;

}  // namespace proclens
