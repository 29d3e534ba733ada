// The layout of the cue model container shared by "cueTemplate.obp" and
// "cueNew.obp": a 20-byte header, then tagged chunks. Only the version word and
// the first top-level "LTXH" texture table are understood; everything else is
// carried byte for byte.
#pragma once

#include <array>
#include <cstdint>

namespace tintrod {

inline constexpr char kTemplateFileName[] = "cueTemplate.obp";
inline constexpr char kOutputFileName[] = "cueNew.obp";

inline constexpr int kTemplateHeaderSize = 20;
inline constexpr int kVersionWordOffset = 8;
inline constexpr std::uint32_t kMaxVersionMajor = 2;       // upper half of the version word
inline constexpr std::uint32_t kMaxVersionMinor = 0x0101;  // lower half

struct TemplateHeader {
  std::array<std::uint8_t, kTemplateHeaderSize> bytes{};
};

std::uint32_t versionWord(const TemplateHeader& header);
bool isSupportedVersion(std::uint32_t versionWord);

class InputFile;

// Reads the header at the stream's position, leaving the stream at the first
// chunk; false when the file is shorter than the header or of an unsupported
// version. Both programs accept exactly the models this accepts.
[[nodiscard]] bool readSupportedHeader(InputFile& stream);

// Chunk framing: tag, then a size word counting itself and the payload.
inline constexpr int kTagSize = 4;
inline constexpr int kWordSize = 4;  // sizes, counts and column widths alike
inline constexpr char kTextureTableTag[] = "LTXH";
inline constexpr char kEndTag[] = "END!";

// The texture table: six columns, stored column by column.
inline constexpr int kTextureColumnCount = 6;
inline constexpr int kTextureTableHeadSize = 40;  // tag, size, N, F and six column sizes
inline constexpr int kLeadingColumnsWidth = 35;   // width, height, carried byte, name
inline constexpr int kPaletteEntries = 256;
inline constexpr int kPaletteSize = 3 * kPaletteEntries;  // red, green, blue per entry

// The in-memory row of the texture table.
inline constexpr int kTextureRecordSize = 807;
inline constexpr int kRecordWidthOffset = 0;
inline constexpr int kRecordHeightOffset = 2;
inline constexpr int kRecordNameOffset = 5;
inline constexpr int kRecordNameEnd = 35;  // the terminator lies before this byte
inline constexpr int kRecordPaletteOffset = 35;
inline constexpr int kRecordPixelRefOffset = 803;

// Bytes of a texture's pixel block: all three levels, each quotient truncated
// on its own. 64-bit because a 65535 x 65535 texture overflows 32 bits.
inline constexpr std::int64_t pixelBlockLength(std::uint16_t width, std::uint16_t height) {
  const std::int64_t area = std::int64_t{width} * height;
  return area + area / 16 + area / 4;
}

}  // namespace tintrod
