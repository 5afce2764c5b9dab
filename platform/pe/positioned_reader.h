#pragma once
// Reading a file at given offsets, so that a parser asks only for the parts it needs.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace proclens::pe {

class PositionedReader {
 public:
  virtual ~PositionedReader() = default;
  virtual std::uint64_t Size() const = 0;
  // Exactly n bytes from offset; false when they are not all there.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
};

// A file already in memory (tests, fuzzing).
class MemoryReader : public PositionedReader {
 public:
  MemoryReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset > size_ || n > size_ - offset) return false;
    if (n != 0) std::memcpy(buffer, data_ + offset, n);
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace proclens::pe
