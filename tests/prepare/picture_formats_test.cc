// Every picture format tintrod-prepare promises lands upright, unmirrored and
// with its channels in order, read back through tintrod's own bitmap loader;
// cut off anywhere, it is refused; and hostile files are refused with the
// right line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "prepare/decode_picture.h"
#include "prepare/prepare_picture.h"
#include "tests/prepare/picture_files.h"
#include "tests/support/bitmap_builder.h"
#include "util/coding.h"

namespace tintrod::testing {
namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 8;

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

// tintrod's own kind of file: 8 bits, a four-entry table, bottom-up.
Bytes eightBitBmp(std::uint32_t compression = 0) {
  BitmapPlan plan;
  plan.compression = compression;
  plan.width = kWidth;
  plan.height = kHeight;
  plan.colors = {kRed, kLime, kBlue, kWhite};
  for (int row = kHeight - 1; row >= 0; --row) {
    for (int x = 0; x < kWidth; ++x) {
      plan.indices.push_back(std::uint8_t((row >= kHeight / 2 ? 2 : 0) + (x >= kWidth / 2)));
    }
  }
  return encodeBitmap(plan);
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
  PrepareOptions options = {};
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
     Corners{kRed, kLime, kBlue, Rgb{16, 32, 250}}, 0, PrepareOptions{.background = {16, 32, 250}}},
    {"jpeg_baseline", committed("jpeg-baseline.jpg"), kColour, 8},
    {"jpeg_progressive", committed("jpeg-progressive.jpg"), kColour, 8},
    {"jpeg_grey", committed("jpeg-grey.jpg"), kGrey, 8},
    {"jpeg_cmyk", [] { return cmykJpeg(false); }, kHalfLime, 8},
    {"jpeg_ycck", [] { return cmykJpeg(true); }, kHalfLime, 8},
    {"bmp_1bit", committed("bmp-1.bmp"), kMono, 0},
    {"bmp_1bit_top_down", [] { return topDown(committedPicture("bmp-1.bmp")); }, kMono, 0},
    {"bmp_4bit", committed("bmp-4.bmp"), kColour, 0},
    {"bmp_4bit_top_down", [] { return topDown(committedPicture("bmp-4.bmp")); }, kColour, 0},
    {"bmp_8bit", [] { return eightBitBmp(); }, kColour, 0},
    {"bmp_8bit_top_down", [] { return topDown(eightBitBmp()); }, kColour, 0},
    {"bmp_8bit_run_length", [] { return eightBitBmp(1); }, kColour, 0},
    {"bmp_24bit", committed("bmp-24.bmp"), kColour, 0},
    {"bmp_24bit_top_down", [] { return topDown(committedPicture("bmp-24.bmp")); }, kColour, 0},
    {"bmp_32bit", committed("bmp-32.bmp"), kColour, 0},
    {"bmp_32bit_top_down", [] { return topDown(committedPicture("bmp-32.bmp")); }, kColour, 0},
    {"gif", committed("gif.gif"), kColour, 0},
    {"webp_lossy", committed("webp-lossy.webp"), kColour, 8},
    {"webp_lossless", committed("webp-lossless.webp"), kColour, 0},
    {"webp_alpha_over_black", committed("webp-alpha.webp"), kHalfLime, 8},
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
    EXPECT_EQ(testing::failureKind(preparePicture(cut, kWidth, kHeight).status()),
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

// The baseline picture with its scan header but none of its coded data.
Bytes baselineWithoutScanData() {
  const Bytes file = committedPicture("jpeg-baseline.jpg");
  const Bytes startOfScan = {0xFF, 0xDA};
  const auto scan = std::search(file.begin(), file.end(), startOfScan.begin(), startOfScan.end());
  const auto dataStart = scan + 2 + (scan[2] << 8 | scan[3]);
  Bytes emptied(file.begin(), dataStart);
  emptied.insert(emptied.end(), {0xFF, 0xD9});
  return emptied;
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
      {"baseline jpeg without coded data", baselineWithoutScanData, undecodable},
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
      {"jpeg past the limits", [] { return jpegDeclaring(65535, 65535); }, tooLarge},
      {"gif past the limits", [] { return gifOf(65535, 65535, {}); }, tooLarge},
      {"bmp past the limits", [] { return bmpDeclaring(kPast, 1); }, tooLarge},
      {"bmp top-down past the limits", [] { return bmpDeclaring(1, -kPast); }, tooLarge},
      {"webp lossless without data", losslessWebpWithoutData, undecodable},
      {"webp lossless of 32 megapixels from a few bytes",
       [] { return losslessWebpDeclaring(8192, 4096); }, tooLarge},
      {"webp past the limits", [] { return losslessWebpDeclaring(16384, 16384); }, tooLarge},
      {"tga past the limits", [] { return tgaDeclaring(65535, 65535); }, tooLarge},
  };
  for (const Refusal& refusal : refusals) {
    EXPECT_EQ(testing::failureKind(preparePicture(refusal.file(), kWidth, kHeight).status()),
              refusal.failure)
        << refusal.name;
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
