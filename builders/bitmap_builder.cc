#include "builders/bitmap_builder.h"

#include <algorithm>
#include <cstdlib>

#include "bitmap/bitmap_headers.h"
#include "bitmap/bitmap_writer.h"
#include "util/coding.h"

namespace tintrod::builders {
namespace {

constexpr std::size_t kMaxRun = 255;
constexpr std::size_t kMinLiteral = 3;  // shorter literals would read as escape codes
constexpr std::uint32_t kCoreHeaderSize = 12;

std::size_t runLength(const std::uint8_t* row, std::size_t from, std::size_t width) {
  std::size_t length = 1;
  while (from + length < width && length < kMaxRun && row[from + length] == row[from]) ++length;
  return length;
}

void encodeRow(const std::uint8_t* row, std::size_t width, Bytes& out) {
  std::size_t x = 0;
  while (x < width) {
    const std::size_t run = runLength(row, x, width);
    if (run >= kMinLiteral) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // Gather pixels up to the next run worth encoding.
    std::size_t end = x;
    while (end < width && end - x < kMaxRun && runLength(row, end, width) < kMinLiteral) ++end;
    if (end - x < kMinLiteral) {
      for (; x < end; ++x) {
        out.push_back(1);
        out.push_back(row[x]);
      }
      continue;
    }
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(end - x));
    out.insert(out.end(), row + x, row + end);
    if ((end - x) % 2 != 0) out.push_back(0);
    x = end;
  }
}

Bytes plainRows(const BitmapPlan& plan) {
  const auto rows = static_cast<std::size_t>(std::abs(plan.height));
  const auto width = static_cast<std::size_t>(std::max(plan.width, 0));
  const std::size_t bits = plan.bitCount;
  const std::size_t stride = (width * bits + 31) / 32 * 4;
  Bytes out(rows * stride, 0);
  if (bits != 1 && bits != 4 && bits != 8) return out;
  for (std::size_t y = 0; y < rows && (y + 1) * width <= plan.indices.size(); ++y) {
    for (std::size_t x = 0; x < width; ++x) {
      // The leftmost pixel in the most significant bits.
      const std::size_t bit = x * bits;
      const auto index = static_cast<unsigned>(plan.indices[y * width + x] & ((1U << bits) - 1));
      out[y * stride + bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
    }
  }
  return out;
}

}  // namespace

Bytes encodeRle8(std::int32_t width, std::int32_t height, const Bytes& indices) {
  Bytes out;
  const auto w = static_cast<std::size_t>(width);
  for (std::int32_t y = 0; y < height; ++y) {
    encodeRow(indices.data() + static_cast<std::size_t>(y) * w, w, out);
    if (y + 1 < height) {
      out.push_back(0);
      out.push_back(0);
    }
  }
  out.push_back(0);
  out.push_back(1);
  return out;
}

Bytes encodeBitmap(const BitmapPlan& plan) {
  Bytes pixels = plan.pixelData;
  if (pixels.empty()) {
    pixels =
        plan.compression == 1 ? encodeRle8(plan.width, plan.height, plan.indices) : plainRows(plan);
  }
  const bool core = plan.infoHeaderSize == kCoreHeaderSize;
  const std::uint32_t infoSize =
      core ? kCoreHeaderSize : std::max<std::uint32_t>(plan.infoHeaderSize, kBitmapInfoHeaderSize);
  const std::uint32_t entrySize = core ? 3 : 4;
  const auto colorCount = static_cast<std::uint32_t>(plan.colors.size());
  const std::uint32_t pixelStart =
      kBitmapFileHeaderSize + infoSize + entrySize * colorCount + plan.gapBeforePixels;
  const auto fileSize = static_cast<std::uint32_t>(pixelStart + pixels.size());

  // Longer info headers keep their extra fields zero.
  Bytes out(kBitmapFileHeaderSize + infoSize, 0);
  encodeBitmapFileHeader({.bfType = kBitmapSignature, .bfSize = fileSize, .bfOffBits = pixelStart},
                         out.data());
  if (core) {
    std::uint8_t* header = out.data() + kBitmapFileHeaderSize;
    encodeFixed32(header, kCoreHeaderSize);
    encodeFixed16(header + 4, static_cast<std::uint16_t>(plan.width));
    encodeFixed16(header + 6, static_cast<std::uint16_t>(plan.height));
    encodeFixed16(header + 8, 1);
    encodeFixed16(header + 10, plan.bitCount);
  } else {
    encodeBitmapInfoHeader({.biSize = plan.infoHeaderSize,
                            .biWidth = plan.width,
                            .biHeight = plan.height,
                            .biPlanes = 1,
                            .biBitCount = plan.bitCount,
                            .biCompression = plan.compression,
                            .biSizeImage = static_cast<std::uint32_t>(pixels.size()),
                            .biXPelsPerMeter = kPixelsPerMetre,
                            .biYPelsPerMeter = kPixelsPerMetre,
                            .biClrUsed = plan.storeZeroColorCount ? 0 : colorCount},
                           out.data() + kBitmapFileHeaderSize);
  }
  for (const auto& color : plan.colors) {
    out.insert(out.end(), {color[2], color[1], color[0]});
    if (!core) out.push_back(0);
  }
  // A recognisable filler, so that reading the gap as pixels shows.
  out.insert(out.end(), plan.gapBeforePixels, 0xEE);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

}  // namespace tintrod::builders
