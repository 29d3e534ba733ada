// BMP files as tintrod writes them: the 14-byte file header, the 40-byte info
// header, for 8 bits a colour table of up to 256 entries, then the rows in the
// order given (bottom row first), each padded to a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "bitmap/bitmap_layout.h"

namespace tintrod {

inline constexpr std::uint16_t kBitmapSignature = 0x4D42;  // "BM"
inline constexpr int kRgbDepth = 24;
inline constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch
// bfSize is a 32-bit field, so no file may be longer.
inline constexpr std::int64_t kMaxBitmapFileSize = 0xFFFFFFFF;
// Red, green and blue of every entry a colour table can hold.
inline constexpr std::size_t kFullPaletteSize = 3 * kMaxColorTableEntries;

// An 8-bit file of `width` x `height` indices packed `width` bytes apart,
// with the 256 red-green-blue entries of `palette` as its colour table.
// Nothing for a negative size, indices that do not match it, or a file past
// kMaxBitmapFileSize.
std::optional<std::vector<std::uint8_t>> encodeIndexedBitmap(
    std::int32_t width, std::int32_t height,
    std::span<const std::uint8_t, kFullPaletteSize> palette, std::span<const std::uint8_t> indices);

// The same with a colour table of only the 1 to 256 red-green-blue entries
// of `palette`; also nothing for an index past the table.
std::optional<std::vector<std::uint8_t>> encodeCompactIndexedBitmap(
    std::int32_t width, std::int32_t height, std::span<const std::uint8_t> palette,
    std::span<const std::uint8_t> indices);

// A 24-bit file of red-green-blue pixels packed 3 x `width` bytes apart; the
// same refusals.
std::optional<std::vector<std::uint8_t>> encodeRgbBitmap(std::int32_t width, std::int32_t height,
                                                         std::span<const std::uint8_t> pixels);

}  // namespace tintrod
