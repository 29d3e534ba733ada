#include <algorithm>
#include <array>
#include <memory>

#include "bitmap/pixel_rows.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/pixel_rows_input.h"
#include "util/input_file.h"

namespace tintrod::fuzz {
namespace {

// Destinations beyond this would only make the harness allocate.
constexpr std::int64_t kMaxDestination = std::int64_t{1} << 20;
constexpr std::uint8_t kUntouched = 0xC3;

using Parameters = PixelRowsParameters;

std::int64_t dstPixelBytes(std::int32_t dstFormat) {
  switch (dstFormat) {
    case 15:
    case 16:
      return 2;
    case 32:
      return 4;
    default:
      return 1;
  }
}

// What the caller guarantees: (rows - 1) * dstStride bytes plus one row.
std::int64_t guaranteedBytes(const Parameters& p) {
  if (p.rows <= 0) return 0;
  return std::int64_t{p.rows - 1} * p.dstStride + dstPixelBytes(p.dstFormat) * p.width;
}

// High halves set, so that an entry's unused bits would show if they leaked.
std::array<std::uint32_t, 256> colorTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < table.size(); ++i) table[i] = 0xA5A50000u | (i * 0x0101u);
  return table;
}

// The bytes between one row's pixels and the next row, and the fourth byte of
// every 32-bit pixel, are the caller's.
void expectCallerBytesKept(const Parameters& p, const std::uint8_t* destination) {
  const std::int64_t rowBytes = dstPixelBytes(p.dstFormat) * p.width;
  if (p.rows <= 0 || p.width < 0 || p.dstStride < rowBytes) return;
  for (std::int64_t row = 0; row < p.rows; ++row) {
    const std::uint8_t* start = destination + row * p.dstStride;
    if (row + 1 < p.rows) {
      for (std::int64_t i = rowBytes; i < p.dstStride; ++i) {
        expectProperty(start[i] == kUntouched, "the gap between rows is left alone");
      }
    }
    if (p.dstFormat != 32) continue;
    for (std::int64_t pixel = 0; pixel < p.width; ++pixel) {
      expectProperty(start[4 * pixel + 3] == kUntouched, "the fourth byte of a pixel is kept");
    }
  }
}

}  // namespace

void fuzzPixelRows(const std::uint8_t* data, std::size_t size) {
  if (size < kParameterBytes) return;
  const Parameters p = decodeParameters(data);
  const std::int64_t length = guaranteedBytes(p);
  if (length > kMaxDestination) return;
  const std::filesystem::path path = scratchFolder() / "rows";
  testing::writeFile(path, Bytes(data + kParameterBytes, data + size));

  // Exactly the guaranteed bytes, so that a row placed past them overflows.
  const auto destinationSize = static_cast<std::size_t>(std::max<std::int64_t>(length, 0));
  std::unique_ptr<std::uint8_t[]> destination(new std::uint8_t[destinationSize]);
  std::fill_n(destination.get(), destinationSize, kUntouched);
  const auto table = colorTable();
  InputFile stream;
  expectProperty(stream.open(path.string()).ok(), "the rows open");
  const bool complete =
      readPixelRows(p.dstFormat, p.srcBitCount, destination.get(), p.dstStride, p.srcStride,
                    p.width, p.rows, stream, p.flip, p.withColorTable ? table.data() : nullptr);
  if (complete && p.rows > 0) {
    expectProperty(stream.position() == std::int64_t{p.rows} * p.srcStride,
                   "complete rows leave the stream rows * srcStride further on");
  }
  expectCallerBytesKept(p, destination.get());
}

}  // namespace tintrod::fuzz
