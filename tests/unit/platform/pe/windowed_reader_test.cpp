#include "platform/pe/windowed_reader.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace proclens::pe {
namespace {

class CountingReader : public MemoryReader {
 public:
  using MemoryReader::MemoryReader;
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    ++reads;
    return MemoryReader::ReadAt(offset, buffer, n);
  }
  int reads = 0;
};

TEST(WindowedReader, ServesSmallReadsFromOneWindowAndChecksBounds) {
  std::vector<std::uint8_t> file(300);
  std::iota(file.begin(), file.end(), 0);
  CountingReader counting(file.data(), file.size());
  WindowedReader reader(counting, 64);
  std::uint8_t out[100] = {};

  ASSERT_TRUE(reader.ReadAt(10, out, 4));
  ASSERT_TRUE(reader.ReadAt(60, out, 4));  // still inside [10, 74)
  EXPECT_EQ(out[0], 60);
  EXPECT_EQ(counting.reads, 1);

  ASSERT_TRUE(reader.ReadAt(72, out, 4));  // crosses the window's end: a new window
  EXPECT_EQ(out[3], 75);
  EXPECT_EQ(counting.reads, 2);

  ASSERT_TRUE(reader.ReadAt(150, out, 100));  // larger than a window: read as asked
  EXPECT_EQ(out[99], 249);
  EXPECT_EQ(counting.reads, 3);

  ASSERT_TRUE(reader.ReadAt(280, out, 20));  // the last window is shorter
  EXPECT_EQ(out[19], 299 % 256);
  EXPECT_FALSE(reader.ReadAt(290, out, 20));
  EXPECT_FALSE(reader.ReadAt(301, out, 0));
}

}  // namespace
}  // namespace proclens::pe
