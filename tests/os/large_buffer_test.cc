#include "os/large_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tintrod::os {
namespace {

// Small buffers come from the heap, those of megabytes from their own
// mapping; both must hold every byte asked for, and survive replacement.
TEST(LargeBuffer, HoldsEveryByteAtEverySize) {
  LargeBuffer buffer;
  EXPECT_TRUE(buffer.empty());
  for (std::size_t size : {std::size_t{1}, std::size_t{100000}, std::size_t{2} << 20,
                           (std::size_t{4} << 20) + 12345, std::size_t{7}}) {
    ASSERT_TRUE(buffer.allocate(size)) << size;
    std::fill_n(buffer.get(), size, 0xA5);
    EXPECT_EQ(buffer.get()[size - 1], 0xA5) << size;
    EXPECT_EQ(std::count(buffer.get(), buffer.get() + size, 0xA5), static_cast<long>(size));
  }
  buffer.release();
  EXPECT_TRUE(buffer.empty());
}

}  // namespace
}  // namespace tintrod::os
