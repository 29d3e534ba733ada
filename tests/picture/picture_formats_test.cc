// Every picture format tintrod-prepare promises lands upright, unmirrored and
// with its channels in order, read back through tintrod's own bitmap loader;
// cut off anywhere, it is refused; and hostile files are refused with the
// right line.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "picture/picture_reader.h"
#include "prepare/prepare_picture.h"
#include "tests/picture/picture_files.h"
#include "tests/support/bitmap_builder.h"
#include "util/coding.h"

namespace tintrod::testing {
namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 8;
// Stretched, so that a picture's corners are the slot's whatever its shape.
constexpr PrepareOptions kStretched = {.fit = Fit::kStretch};

struct Corners {
  Rgb topLeft, topRight, bottomLeft, bottomRight;
};

constexpr Rgb kRed{255, 0, 0}, kLime{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255},
    kBlack{0, 0, 0};
constexpr Corners kColour{kRed, kLime, kBlue, kWhite};
constexpr Corners kMono{kBlack, kWhite, kWhite, kBlack};
constexpr Corners kGrey{kBlack, {85, 85, 85}, {170, 170, 170}, kWhite};
constexpr Corners kHalfLime{kRed, {0, 128, 0}, kBlue, kWhite};

// The same file stored top-down: rows reversed, the height negated.
Bytes topDown(Bytes file) {
  const std::uint32_t pixelStart = decodeFixed32(&file[10]);
  const std::int32_t width = decodeSigned32(&file[18]);
  const std::int32_t height = decodeSigned32(&file[22]);
  const std::uint16_t bits = decodeFixed16(&file[28]);
  const std::size_t rowLength = (std::size_t(width) * bits + 31) / 32 * 4;
  for (std::int32_t row = 0; row < height / 2; ++row) {
    std::swap_ranges(file.begin() + pixelStart + row * rowLength,
                     file.begin() + pixelStart + (row + 1) * rowLength,
                     file.begin() + pixelStart + (height - 1 - row) * rowLength);
  }
  encodeSigned32(&file[22], -height);
  return file;
}

// Quadrants of the given indices (top left, top right, bottom left, bottom
// right) into `colors`, bottom-up.
struct PalettePlan {
  std::uint16_t bits = 8;
  std::vector<Rgb> colors;
  std::array<std::uint8_t, 4> quadrants = {0, 1, 2, 3};
  std::uint32_t headerSize = 40;  // 12: the oldest header, 3-byte entries
  std::uint32_t compression = 0;
  bool countUnset = false;  // the table's length only in where the pixels start
};

Bytes paletteBmp(const PalettePlan& palette) {
  BitmapPlan plan;
  plan.bitCount = palette.bits;
  plan.compression = palette.compression;
  plan.infoHeaderSize = palette.headerSize;
  plan.storeZeroColorCount = palette.countUnset;
  plan.width = kWidth;
  plan.height = kHeight;
  plan.colors = palette.colors;
  for (int row = kHeight - 1; row >= 0; --row) {
    for (int x = 0; x < kWidth; ++x) {
      plan.indices.push_back(palette.quadrants[(row >= kHeight / 2 ? 2 : 0) + (x >= kWidth / 2)]);
    }
  }
  return encodeBitmap(plan);
}

// tintrod's own kind of file: 8 bits, a four-entry table, bottom-up.
Bytes eightBitBmp(std::uint32_t compression = 0) {
  return paletteBmp({.colors = {kRed, kLime, kBlue, kWhite}, .compression = compression});
}

// A full table of greys but for the four colours of the quadrants.
std::vector<Rgb> greysWith(std::size_t count, const std::array<std::uint8_t, 4>& at) {
  std::vector<Rgb> colors;
  for (std::size_t i = 0; i < count; ++i) colors.push_back({std::uint8_t(i), std::uint8_t(i), 9});
  const Rgb quadrants[] = {kRed, kLime, kBlue, kWhite};
  for (std::size_t q = 0; q < at.size(); ++q) colors[at[q]] = quadrants[q];
  return colors;
}

// The colour quadrants as raw pixels; with alpha, the bottom right one is
// fully transparent and lands black.
Bytes quadrantPixels(int channels) {
  Bytes pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb& colour =
          y < kHeight / 2 ? (x < kWidth / 2 ? kRed : kLime) : (x < kWidth / 2 ? kBlue : kWhite);
      pixels.insert(pixels.end(), colour.begin(), colour.end());
      if (channels == 4) pixels.push_back(y >= kHeight / 2 && x >= kWidth / 2 ? 0 : 255);
    }
  }
  return pixels;
}

// CMYK as Adobe stores it (ink inverted, so the colour's own bytes), with
// half the black in the top right quadrant.
Bytes cmykJpeg(bool ycck) {
  JpegPlan plan;
  plan.width = kWidth;
  plan.height = kHeight;
  plan.components = 4;
  plan.ycck = ycck;
  const Bytes rgb = quadrantPixels(3);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    plan.samples.insert(plan.samples.end(), rgb.begin() + std::ptrdiff_t(i),
                        rgb.begin() + std::ptrdiff_t(i + 3));
    const bool topRight = i / 3 % kWidth >= kWidth / 2 && i / 3 / kWidth < kHeight / 2;
    plan.samples.push_back(topRight ? 128 : 255);
  }
  return jpegOf(plan);
}

struct Format {
  const char* name;
  std::function<Bytes()> file;
  Corners corners;
  int tolerance;  // lossy formats come back near, not exact
  PrepareOptions options = kStretched;
};

std::function<Bytes()> committed(const char* name) {
  return [name] { return committedPicture(name); };
}

void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }

const Format kFormats[] = {
    {"png_rgb", committed("colour.png"), kColour, 0},
    {"png_grey", committed("png-grey.png"), kGrey, 0},
    {"png_grey_1bit", committed("mono.png"), kMono, 0},
    {"png_palette", committed("png-palette.png"), kColour, 0},
    {"png_16bit", committed("png-16.png"), kColour, 0},
    {"png_rgba_over_black", committed("png-rgba.png"), kHalfLime, 1},
    {"png_rgb_written_here", [] { return pngOf(kWidth, kHeight, 3, quadrantPixels(3)); }, kColour,
     0},
    {"png_rgba_written_here", [] { return pngOf(kWidth, kHeight, 4, quadrantPixels(4)); },
     Corners{kRed, kLime, kBlue, kBlack}, 0},
    {"png_rgba_over_a_background", [] { return pngOf(kWidth, kHeight, 4, quadrantPixels(4)); },
     Corners{kRed, kLime, kBlue, Rgb{16, 32, 250}}, 0,
     PrepareOptions{.fit = Fit::kStretch, .background = {16, 32, 250}}},
    {"jpeg_baseline", committed("jpeg-baseline.jpg"), kColour, 8},
    {"jpeg_progressive", committed("jpeg-progressive.jpg"), kColour, 8},
    {"jpeg_grey", committed("jpeg-grey.jpg"), kGrey, 8},
    {"jpeg_arithmetic", committed("jpeg-arithmetic.jpg"), kColour, 8},
    {"jpeg_arithmetic_progressive", committed("jpeg-arithmetic-progressive.jpg"), kColour, 8},
    {"jpeg_cmyk", [] { return cmykJpeg(false); }, kHalfLime, 8},
    {"jpeg_ycck", [] { return cmykJpeg(true); }, kHalfLime, 8},
    {"bmp_1bit", committed("bmp-1.bmp"), kMono, 0},
    {"bmp_1bit_top_down", [] { return topDown(committedPicture("bmp-1.bmp")); }, kMono, 0},
    {"bmp_4bit", committed("bmp-4.bmp"), kColour, 0},
    {"bmp_4bit_top_down", [] { return topDown(committedPicture("bmp-4.bmp")); }, kColour, 0},
    {"bmp_8bit", [] { return eightBitBmp(); }, kColour, 0},
    {"bmp_8bit_top_down", [] { return topDown(eightBitBmp()); }, kColour, 0},
    {"bmp_8bit_run_length", [] { return eightBitBmp(1); }, kColour, 0},
    // Indices past a short table read black, not whatever lay in memory.
    {"bmp_1bit_short_palette", [] { return paletteBmp({.bits = 1, .colors = {kWhite}}); },
     Corners{kWhite, kBlack, kWhite, kBlack}, 0},
    {"bmp_4bit_short_palette",
     [] {
       return paletteBmp({.bits = 4, .colors = {kRed, kLime}, .quadrants = {0, 1, 9, 15}});
     },
     Corners{kRed, kLime, kBlack, kBlack}, 0},
    {"bmp_8bit_short_palette_top_down",
     [] {
       return topDown(paletteBmp({.colors = {kRed, kLime}, .quadrants = {0, 1, 200, 255}}));
     },
     Corners{kRed, kLime, kBlack, kBlack}, 0},
    {"bmp_8bit_short_palette_count_unset",
     [] {
       return paletteBmp(
           {.colors = {kRed, kLime}, .quadrants = {0, 1, 2, 255}, .countUnset = true});
     },
     Corners{kRed, kLime, kBlack, kBlack}, 0},
    {"bmp_os2_1bit",
     [] {
       return paletteBmp(
           {.bits = 1, .colors = {kBlack, kWhite}, .quadrants = {0, 1, 1, 0}, .headerSize = 12});
     },
     kMono, 0},
    {"bmp_os2_4bit",
     [] {
       return paletteBmp({.bits = 4,
                          .colors = greysWith(16, {0, 1, 2, 15}),
                          .quadrants = {0, 1, 2, 15},
                          .headerSize = 12});
     },
     kColour, 0},
    {"bmp_os2_8bit_256_colours",
     [] {
       return paletteBmp({.colors = greysWith(256, {0, 100, 252, 255}),
                          .quadrants = {0, 100, 252, 255},
                          .headerSize = 12});
     },
     kColour, 0},
    {"bmp_24bit", committed("bmp-24.bmp"), kColour, 0},
    {"bmp_24bit_top_down", [] { return topDown(committedPicture("bmp-24.bmp")); }, kColour, 0},
    {"bmp_32bit", committed("bmp-32.bmp"), kColour, 0},
    {"bmp_32bit_top_down", [] { return topDown(committedPicture("bmp-32.bmp")); }, kColour, 0},
    {"gif", committed("gif.gif"), kColour, 0},
#if TINTROD_WEBP  // the builds that link a WebP decoder
    {"webp_lossy", committed("webp-lossy.webp"), kColour, 8},
    {"webp_lossless", committed("webp-lossless.webp"), kColour, 0},
    {"webp_alpha_over_black", committed("webp-alpha.webp"), kHalfLime, 8},
#endif
#if TINTROD_HEIF  // the builds that link a HEIF decoder
    {"heic_as_written_for_small_pictures", committed("heic.heic"), kColour, 8},
    {"heic_10bit", committed("heic-10bit.heic"), kColour, 8},
    {"heic_alpha_over_black", committed("heic-alpha.heic"), kHalfLime, 8},
    // Turned and mirrored by its properties; its EXIF Orientation would turn it again.
    {"heic_turned_mirrored_exif_ignored", committed("heic-turned.heic"), kColour, 8},
    {"heic_grid_turned_cropped", committed("heic-grid.heic"), kColour, 8},
#endif
    {"tga", [] { return tgaOf(kWidth, kHeight, quadrantPixels(3), false); }, kColour, 0},
    {"tga_run_length", [] { return tgaOf(kWidth, kHeight, quadrantPixels(3), true); }, kColour, 0},
};

class PictureFormat : public ::testing::TestWithParam<Format> {};

void expectNear(const Rgb& actual, const Rgb& expected, int tolerance, const char* corner) {
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(actual[c], expected[c], tolerance) << corner << " channel " << c;
  }
}

TEST_P(PictureFormat, LandsUprightUnmirroredInChannelOrder) {
  const PreparedPicture prepared =
      preparePicture(GetParam().file(), kWidth, kHeight, GetParam().options);
  ASSERT_TRUE(prepared.ok()) << prepared.status().line();
  const RgbPixels pixels = readBack(*prepared, kWidth, kHeight);
  const Corners& expected = GetParam().corners;
  const int tolerance = GetParam().tolerance;
  expectNear(pixels.at(0, 0), expected.topLeft, tolerance, "top left");
  expectNear(pixels.at(kWidth - 1, 0), expected.topRight, tolerance, "top right");
  expectNear(pixels.at(0, kHeight - 1), expected.bottomLeft, tolerance, "bottom left");
  expectNear(pixels.at(kWidth - 1, kHeight - 1), expected.bottomRight, tolerance, "bottom right");
}

// A decoder reads past the end as zeros and calls the picture whole.
TEST_P(PictureFormat, CutOffAnywhereIsRefused) {
  const Bytes whole = GetParam().file();
  constexpr std::size_t kEndChunk = 13;  // a whole PNG IEND, and then some
  for (const std::size_t kept :
       {whole.size() / 10, whole.size() / 2, whole.size() * 9 / 10, whole.size() - kEndChunk}) {
    const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(kept));
    EXPECT_EQ(testing::failureKind(preparePicture(cut, kWidth, kHeight, kStretched).status()),
              Failure::kPictureDecode)
        << kept << " of " << whole.size() << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

// Bytes 282 to 331 of jpeg-progressive.jpg are a Huffman table and the first
// AC scan of one component, without successive approximation: it sets the
// same coefficients however often it runs.
Bytes progressiveWithScanRepeated(int times) {
  constexpr std::ptrdiff_t kScanStart = 282;
  constexpr std::ptrdiff_t kScanEnd = 331;
  const Bytes file = committedPicture("jpeg-progressive.jpg");
  Bytes repeated(file.begin(), file.begin() + kScanEnd);
  for (int i = 0; i < times; ++i) {
    repeated.insert(repeated.end(), file.begin() + kScanStart, file.begin() + kScanEnd);
  }
  repeated.insert(repeated.end(), file.begin() + kScanEnd, file.end());
  return repeated;
}

const Bytes kStartOfScan = {0xFF, 0xDA};
const Bytes kEndOfImage = {0xFF, 0xD9};

// The first `kept` bytes of a committed picture and its end-of-image marker,
// as a careless repair of a cut-off file leaves it.
Bytes cutKeepingEndMarker(const char* name, double kept) {
  const Bytes file = committedPicture(name);
  Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(double(file.size()) * kept));
  if (cut.back() == 0xFF) cut.pop_back();
  cut.insert(cut.end(), kEndOfImage.begin(), kEndOfImage.end());
  return cut;
}

// A committed picture up to its first scan's header, and none of its coded data.
Bytes withoutScanData(const char* name) {
  const Bytes file = committedPicture(name);
  const auto scan = std::search(file.begin(), file.end(), kStartOfScan.begin(), kStartOfScan.end());
  Bytes emptied(file.begin(), scan + 2 + (scan[2] << 8 | scan[3]));
  emptied.insert(emptied.end(), kEndOfImage.begin(), kEndOfImage.end());
  return emptied;
}

// A committed picture whose frame declares another size.
Bytes declaring(const char* name, std::uint8_t startOfFrame, int width, int height) {
  Bytes file = committedPicture(name);
  const Bytes marker = {0xFF, startOfFrame};
  const auto frame = std::search(file.begin(), file.end(), marker.begin(), marker.end());
  frame[5] = std::uint8_t(height >> 8);
  frame[6] = std::uint8_t(height);
  frame[7] = std::uint8_t(width >> 8);
  frame[8] = std::uint8_t(width);
  return file;
}

// A grey baseline panorama wider than the other formats may be.
Bytes greyPanorama() {
  JpegPlan plan;
  plan.width = 17000;
  plan.height = 40;
  plan.components = 1;
  plan.samples.assign(std::size_t(plan.width) * std::size_t(plan.height), 90);
  return jpegOf(plan);
}

// The arithmetic-coded progressive picture declaring 16384 x 2048, its first
// scan's header 255 times over without coded data.
Bytes emptyArithmeticScans() {
  Bytes file = withoutScanData("jpeg-arithmetic-progressive.jpg");
  const Bytes startOfFrame = {0xFF, 0xCA};
  const auto frame =
      std::search(file.begin(), file.end(), startOfFrame.begin(), startOfFrame.end());
  std::copy_n(Bytes{0x08, 0x00, 0x40, 0x00}.begin(), 4, frame + 5);  // height, width
  const auto scan = std::search(file.begin(), file.end(), kStartOfScan.begin(), kStartOfScan.end());
  const Bytes header(scan, file.end() - 2);
  for (int i = 1; i < 255; ++i) file.insert(file.end() - 2, header.begin(), header.end());
  return file;
}

// A frame header and nothing to decode.
Bytes jpegDeclaring(int width, int height) {
  return {0xFF,
          0xD8,
          0xFF,
          0xC0,
          0,
          11,
          8,
          std::uint8_t(height >> 8),
          std::uint8_t(height),
          std::uint8_t(width >> 8),
          std::uint8_t(width),
          1,
          1,
          0x11,
          0,
          0xFF,
          0xD9};
}

Bytes tgaDeclaring(int width, int height) {
  Bytes tga(18, 0);
  tga[2] = 2;  // true colour
  encodeFixed16(&tga[12], std::uint16_t(width));
  encodeFixed16(&tga[14], std::uint16_t(height));
  tga[16] = 24;
  return tga;
}

Bytes bmpDeclaring(int width, int height) {
  BitmapPlan plan;
  plan.width = width;
  plan.height = 1;
  plan.colors = {kBlack};
  plan.indices.assign(std::size_t(width), 0);
  Bytes file = encodeBitmap(plan);
  encodeSigned32(&file[22], height);
  return file;
}

// webp-lossless.webp declaring another size: its data, a handful of bytes,
// is what a picture of one colour needs at any size.
Bytes losslessWebpDeclaring(int width, int height) {
  constexpr std::size_t kSizeBits = 21;  // behind RIFF, VP8L's chunk header and signature
  Bytes file = committedPicture("webp-lossless.webp");
  encodeFixed32(&file[kSizeBits], std::uint32_t(width - 1) | std::uint32_t(height - 1) << 14);
  return file;
}

// The lossless picture's chunk holding its header and nothing to decode.
Bytes losslessWebpWithoutData() {
  constexpr std::size_t kHeaderEnd = 25;
  Bytes file = committedPicture("webp-lossless.webp");
  file.resize(kHeaderEnd + 1);  // a pad byte keeps the chunk's size even
  encodeFixed32(&file[4], std::uint32_t(file.size() - 8));
  encodeFixed32(&file[16], 5);
  return file;
}

// A committed HEIC with `bytes` written `at` bytes behind the first `box` type.
Bytes heicPatched(const char* name, std::string_view box, std::size_t at, const Bytes& bytes) {
  Bytes file = committedPicture(name);
  const auto found = std::search(file.begin(), file.end(), box.begin(), box.end());
  std::copy(bytes.begin(), bytes.end(), found + std::ptrdiff_t(at));
  return file;
}

Bytes bigEndian32(std::uint32_t value) {
  Bytes bytes(4);
  encodeBigEndian32(bytes.data(), value);
  return bytes;
}

// heic-10bit.heic's one item: the sides of its ispe, the length of its extent.
constexpr std::size_t kIspeSides = 8;
constexpr std::size_t kIlocLength = 26;

Bytes heicDeclaring(std::uint32_t width, std::uint32_t height) {
  Bytes sides = bigEndian32(width);
  const Bytes heightBytes = bigEndian32(height);
  sides.insert(sides.end(), heightBytes.begin(), heightBytes.end());
  return heicPatched("heic-10bit.heic", "ispe", kIspeSides, sides);
}

Bytes greyCodes(std::size_t pixels) { return gifCodesOf(Bytes(pixels, 7)); }

struct Refusal {
  const char* name;
  std::function<Bytes()> file;
  std::optional<Failure> failure;  // nothing: the file is taken
};

TEST(PictureRefusals, HostileFilesGetTheirLine) {
  constexpr std::size_t kSixteenMiB = std::size_t{16} << 20;
  constexpr int kPast = 100000;
  const auto tooLarge = Failure::kPictureTooLarge;
  const auto undecodable = Failure::kPictureDecode;
  const Refusal refusals[] = {
      {"png inflating to its pixels", [] { return pngWithImageData(1, 1, 0, zlibOfZeros(2)); }, {}},
      {"png of 16-bit rgba, interlaced",
       [] {
         const Bytes rows = zlibOfZeros(pngImageBytes(1024, 1024, 8, true));
         return pngWithImageData(1024, 1024, 6, rows, 16, true);
       },
       {}},
      {"png inflating far past its pixels",
       [] { return pngWithImageData(1, 1, 0, zlibOfZeros(kSixteenMiB)); }, undecodable},
      {"progressive jpeg of 210 scans", [] { return progressiveWithScanRepeated(200); }, {}},
      {"progressive jpeg of 310 scans", [] { return progressiveWithScanRepeated(300); },
       undecodable},
      {"baseline jpeg without coded data", [] { return withoutScanData("jpeg-baseline.jpg"); },
       undecodable},
      {"arithmetic jpeg without coded data", [] { return withoutScanData("photo-arithmetic.jpg"); },
       undecodable},
      {"arithmetic jpeg cut to a tenth, its end kept",
       [] { return cutKeepingEndMarker("photo-arithmetic.jpg", 0.1); }, undecodable},
      {"arithmetic jpeg cut in its last rows, its end kept",
       [] { return cutKeepingEndMarker("photo-arithmetic.jpg", 0.99); }, undecodable},
      {"arithmetic progressive jpeg of 255 empty scans", emptyArithmeticScans, undecodable},
      {"arithmetic progressive jpeg whose encoder left out a refinement's zeros",
       committed("black-arithmetic-progressive.jpg"),
       {}},
      {"gif of its pixels", [] { return gifOf(16, 8, greyCodes(128)); }, {}},
      {"gif whose codes end early", [] { return gifOf(16, 8, greyCodes(100)); }, undecodable},
      {"gif whose codes go past its pixels", [] { return gifOf(16, 8, greyCodes(129)); },
       undecodable},
      {"gif of clear codes",
       [] {
         Bytes codes(10000, kGifClear);
         const Bytes pixels = greyCodes(128);
         codes.insert(codes.end(), pixels.begin(), pixels.end());
         return gifOf(16, 8, codes);
       },
       undecodable},
      {"png rgb past the limits", [] { return pngWithImageData(kPast, kPast, 2, {}); }, tooLarge},
      {"png grey past the limits", [] { return pngWithImageData(kPast, kPast, 0, {}); }, tooLarge},
      {"png rgba at the largest side", [] { return pngWithImageData(16384, 16384, 6, {}); },
       tooLarge},
      {"png of 16-bit rgba needing more memory than allowed",
       [] { return pngWithImageData(8192, 4096, 6, {}, 16, false); }, tooLarge},
      {"gif needing more memory than allowed", [] { return gifOf(8192, 4096, {}); }, tooLarge},
      {"png a pixel too wide", [] { return pngWithImageData(16385, 1, 0, {}); }, tooLarge},
      {"jpeg of the largest size, without scans", [] { return jpegDeclaring(65535, 65535); },
       undecodable},
      {"baseline jpeg panorama past the other formats' side", greyPanorama, {}},
      {"arithmetic jpeg past the other formats' limits",
       [] { return declaring("jpeg-arithmetic.jpg", 0xC9, 16385, 8); }, Failure::kJpegTooLarge},
      {"gif past the limits", [] { return gifOf(65535, 65535, {}); }, tooLarge},
      {"bmp past the limits", [] { return bmpDeclaring(kPast, 1); }, tooLarge},
      {"bmp top-down past the limits", [] { return bmpDeclaring(1, -kPast); }, tooLarge},
      {"webp lossless without data", losslessWebpWithoutData, undecodable},
      {"webp lossless of 32 megapixels from a few bytes",
       [] { return losslessWebpDeclaring(8192, 4096); }, tooLarge},
      {"webp past the limits", [] { return losslessWebpDeclaring(16384, 16384); }, tooLarge},
      {"tga past the limits", [] { return tgaDeclaring(65535, 65535); }, tooLarge},
      {"heic past the limits", [] { return heicDeclaring(kPast, kPast); }, tooLarge},
      {"heic of 32 megapixels from a few bytes", [] { return heicDeclaring(8192, 4096); },
       tooLarge},
      {"heic whose stream codes another size", [] { return heicDeclaring(64, 32); }, undecodable},
      {"heic without data",
       [] { return heicPatched("heic-10bit.heic", "iloc", kIlocLength, bigEndian32(0)); },
       undecodable},
      {"heic grid of itself",  // its first tile is the grid, item 5
       [] {
         return heicPatched("heic-grid.heic", "dimg", 8, {0, 5});
       },
       undecodable},
      {"heic grid of 1056 tiles", committed("heic-1056-tiles.heic"), undecodable},
      {"avif, which libheif could decode", committed("avif.avif"), undecodable},
  };
  for (const Refusal& refusal : refusals) {
    EXPECT_EQ(
        testing::failureKind(preparePicture(refusal.file(), kWidth, kHeight, kStretched).status()),
        refusal.failure)
        << refusal.name;
  }
}

// Fitting to a slot and quantizing hold memory of their own, whatever the
// picture: a slot too large for the limit refuses every picture, before
// decoding it.
TEST(PictureRefusals, SlotsPastTheMemoryLimitAreRefused) {
  const std::pair<const char*, Failure> cases[] = {{"colour.png", Failure::kPictureTooLarge},
                                                   {"jpeg-baseline.jpg", Failure::kJpegTooLarge}};
  for (const auto& [name, failure] : cases) {
    const Bytes picture = committedPicture(name);
    EXPECT_TRUE(preparePicture(picture, 1024, 1024, kStretched).ok()) << name;
    EXPECT_EQ(testing::failureKind(preparePicture(picture, 4096, 4096, kStretched).status()),
              failure)
        << name;
  }
}

// The run-length BMPs of real programs that tintrod takes, compared with
// what an independent decoder read from them (tests/data/bmp-writers).
TEST(PictureRefusals, RunLengthBitmapsOfRealProgramsAreTaken) {
  const std::filesystem::path writers = std::filesystem::path(TINTROD_TESTDATA_DIR) / "bmp-writers";
  for (const char* stem : {"im-default-256", "gd-default-256"}) {
    const DecodedPicture decoded = decodePicture(readFile(writers / (std::string(stem) + ".bmp")));
    ASSERT_TRUE(decoded.ok()) << stem;
    const Bytes palette = readFile(writers / (std::string(stem) + ".pal.bin"));
    const Bytes indices = readFile(writers / (std::string(stem) + ".idx.bin"));
    const auto width = std::size_t(decoded->width);
    const auto height = std::size_t(decoded->height);
    ASSERT_EQ(indices.size(), width * height) << stem;
    std::size_t wrong = 0;
    for (std::size_t y = 0; y < height; ++y) {
      for (std::size_t x = 0; x < width; ++x) {
        const std::size_t index = indices[(height - 1 - y) * width + x];
        for (std::size_t c = 0; c < 3; ++c) {
          wrong += decoded->channels[(y * width + x) * 3 + c] != palette[index * 3 + c];
        }
      }
    }
    EXPECT_EQ(wrong, 0U) << stem;
  }
}

}  // namespace
}  // namespace tintrod::testing
