#pragma once
// Serves the many small reads of a header walk from one larger read of the
// file, so that the headers cost one system call and the resource tree another.

#include <algorithm>
#include <vector>

#include "platform/pe/positioned_reader.h"

namespace proclens::pe {

class WindowedReader : public PositionedReader {
 public:
  WindowedReader(PositionedReader& file, std::size_t window) : file_(file), window_(window) {}

  std::uint64_t Size() const override { return file_.Size(); }

  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    const std::uint64_t size = file_.Size();
    if (offset > size || n > size - offset) return false;
    if (n > window_) return file_.ReadAt(offset, buffer, n);
    if (offset < start_ || offset + n > start_ + data_.size()) {
      data_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(window_, size - offset)));
      start_ = offset;
      if (!file_.ReadAt(offset, data_.data(), data_.size())) {
        data_.clear();
        return false;
      }
    }
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(offset - start_), n,
                static_cast<std::uint8_t*>(buffer));
    return true;
  }

 private:
  PositionedReader& file_;
  std::size_t window_;
  std::uint64_t start_ = 0;
  std::vector<std::uint8_t> data_;
};

}  // namespace proclens::pe
