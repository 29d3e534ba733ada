// The parameter head of a pixel rows fuzz input, shared by the target and the
// seed writer: format choices, then four signed 16-bit little-endian values
// and a flag byte. The rows' stream follows the head.
#pragma once

#include <array>
#include <cstdint>

#include "util/coding.h"

namespace tintrod::fuzz {

// The supported formats first, then neighbours the reader must turn away.
inline constexpr std::array<std::int32_t, 8> kDstFormats = {8, 15, 16, 32, 24, 0, -1, 64};
inline constexpr std::array<std::int32_t, 8> kSrcBitCounts = {8, 24, 32, 16, 1, 4, 0, 48};
inline constexpr std::size_t kParameterBytes = 11;
inline constexpr std::uint8_t kFlipBit = 1;
inline constexpr std::uint8_t kColorTableBit = 2;

struct PixelRowsParameters {
  std::int32_t dstFormat;
  std::int32_t srcBitCount;
  std::int32_t dstStride;
  std::int32_t srcStride;
  std::int32_t width;
  std::int32_t rows;
  std::int32_t flip;
  bool withColorTable;
};

inline std::int32_t decodeSigned16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(decodeFixed16(p));
}

// `head` holds kParameterBytes bytes.
inline PixelRowsParameters decodeParameters(const std::uint8_t* head) {
  return {kDstFormats[head[0] % kDstFormats.size()],
          kSrcBitCounts[head[1] % kSrcBitCounts.size()],
          decodeSigned16(head + 2),
          decodeSigned16(head + 4),
          decodeSigned16(head + 6),
          decodeSigned16(head + 8),
          head[10] & kFlipBit,
          (head[10] & kColorTableBit) != 0};
}

}  // namespace tintrod::fuzz
