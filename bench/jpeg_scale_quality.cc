// What decoding a JPEG at a reduced DCT scale costs in quality: the texture
// prepared from the whole decoded picture and the one prepared from the
// reduced decode, each against the whole picture fitted in linear light
// without quantizing, as the peak signal-to-noise ratio over 8-bit RGB. The
// whole picture comes from libjpeg-turbo with the decoder's settings but
// none of its limits, so that 48 MP photos can be measured too.
//
// Usage: tintrod_jpeg_scale_quality [--size] SIDE FIT PICTURE.jpg
//   FIT is stretch, crop or pad; the slot is SIDE x SIDE.
// Prints: whole_psnr reduced_psnr reduced_width reduced_height
//   or, with --size, only the reduced decode's size and the whole picture's:
//   reduced_width reduced_height whole_width whole_height
// jpeglib.h uses FILE and size_t without including their headers.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "picture/picture_reader.h"
#include "prepare/fit_picture.h"
#include "quantize/quantize.h"

namespace tintrod {
namespace {

constexpr double kMax8 = 255;

std::vector<std::uint8_t> bytesOf(const RgbPicture& picture) {
  return {picture.channels.begin(), picture.channels.end()};
}

std::vector<std::uint8_t> quantized(const std::vector<std::uint8_t>& rgb, int side) {
  const QuantizedPicture result = quantizePicture(rgb, side, side);
  std::vector<std::uint8_t> out;
  out.reserve(rgb.size());
  for (const std::uint8_t index : result.indices) {
    out.insert(out.end(), result.palette.begin() + 3 * index,
               result.palette.begin() + 3 * index + 3);
  }
  return out;
}

// As picture/jpeg.cc sets the decoder for 8/8; any failure ends the program.
RgbPicture wholePicture(const std::vector<std::uint8_t>& file) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), file.size());
  jpeg_read_header(&info, TRUE);
  info.dct_method = JDCT_ISLOW;
  info.do_fancy_upsampling = TRUE;
  info.do_block_smoothing = TRUE;
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  RgbPicture picture;
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  picture.channels = PixelBytes(std::size_t{info.output_width} * info.output_height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.channels.data() +
                   std::size_t{info.output_scanline} * info.output_width * kRgbChannels;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return picture;
}

double psnr(const std::vector<std::uint8_t>& reference, const std::vector<std::uint8_t>& other) {
  double error = 0;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    const double difference = static_cast<double>(reference[i]) - other[i];
    error += difference * difference;
  }
  if (error == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(kMax8 * kMax8 * static_cast<double>(reference.size()) / error);
}

}  // namespace
}  // namespace tintrod

int main(int argc, char** argv) {
  using namespace tintrod;
  const bool sizeOnly = argc == 5 && std::string(argv[1]) == "--size";
  if (argc != 4 && !sizeOnly) {
    std::fprintf(stderr, "usage: %s [--size] SIDE stretch|crop|pad PICTURE.jpg\n", argv[0]);
    return 2;
  }
  char** const args = argv + (sizeOnly ? 1 : 0);
  const int side = std::atoi(args[1]);
  const std::string fitName = args[2];
  const Fit fit = fitName == "crop" ? Fit::kCrop : fitName == "pad" ? Fit::kPad : Fit::kStretch;
  std::ifstream in(args[3], std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
  DecodedPicture reduced = decodePicture(file, DecodeTarget{side, side, fit});
  const std::optional<PictureSize> declared = declaredPictureSize(file);
  if (!reduced.ok() || !declared) {
    std::fprintf(stderr, "cannot decode %s\n", args[3]);
    return 1;
  }
  if (sizeOnly) {
    std::printf("%d %d %lld %lld\n", reduced->width, reduced->height,
                static_cast<long long>(declared->width), static_cast<long long>(declared->height));
    return 0;
  }
  const int reducedWidth = reduced->width;
  const int reducedHeight = reduced->height;
  Result<RgbPicture> fromWholePicture = fitPicture(wholePicture(file), side, side, fit);
  Result<RgbPicture> fromReducedPicture = fitPicture(std::move(*reduced), side, side, fit);
  if (!fromWholePicture.ok() || !fromReducedPicture.ok()) {
    std::fprintf(stderr, "cannot fit %s to %d x %d\n", args[3], side, side);
    return 1;
  }
  const auto reference = bytesOf(*fromWholePicture);
  const auto fromWhole = quantized(reference, side);
  const auto fromReduced = quantized(bytesOf(*fromReducedPicture), side);
  std::printf("%.3f %.3f %d %d\n", psnr(reference, fromWhole), psnr(reference, fromReduced),
              reducedWidth, reducedHeight);
  return 0;
}
