#include "util/coding.h"

#include <gtest/gtest.h>

namespace tintrod {
namespace {

TEST(Coding, DecodesLittleEndian) {
  const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x84};
  EXPECT_EQ(decodeFixed16(bytes), 0x0201);
  EXPECT_EQ(decodeFixed32(bytes), 0x84030201u);
  EXPECT_EQ(decodeSigned32(bytes), static_cast<std::int32_t>(0x84030201u));
}

TEST(Coding, EncodeRoundTrips) {
  std::uint8_t bytes[4];
  for (std::uint32_t value : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x12345678u}) {
    encodeFixed32(bytes, value);
    EXPECT_EQ(decodeFixed32(bytes), value);
  }
  encodeSigned32(bytes, -1);
  EXPECT_EQ(decodeSigned32(bytes), -1);
  encodeFixed16(bytes, 0xBEEF);
  EXPECT_EQ(bytes[0], 0xEF);
  EXPECT_EQ(bytes[1], 0xBE);
}

}  // namespace
}  // namespace tintrod
