#include "os/large_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace tintrod::os {
namespace {

// Small buffers come from the heap, those of megabytes from their own
// mapping; both must hold every byte asked for, and survive replacement.
TEST(LargeBuffer, HoldsEveryByteAtEverySize) {
  LargeBuffer buffer;
  EXPECT_TRUE(buffer.empty());
  for (std::size_t size : {std::size_t{1}, std::size_t{100000}, std::size_t{2} << 20,
                           (std::size_t{4} << 20) + 12345, std::size_t{7}}) {
    ASSERT_TRUE(buffer.allocate(size, LargeBuffer::Content::kZeroed)) << size;
    EXPECT_EQ(buffer.size(), size);
    EXPECT_EQ(std::count(buffer.get(), buffer.get() + size, 0), static_cast<long>(size)) << size;
    std::fill_n(buffer.get(), size, 0xA5);
    // A moved buffer is the same memory under a new owner; the old one is empty.
    LargeBuffer moved = std::move(buffer);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(moved.size(), size);
    EXPECT_EQ(std::count(moved.get(), moved.get() + size, 0xA5), static_cast<long>(size));
    buffer = std::move(moved);
  }
  buffer.release();
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(buffer.size(), 0U);
}

}  // namespace
}  // namespace tintrod::os
