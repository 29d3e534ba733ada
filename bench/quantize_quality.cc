// Our quantizer on one truecolour PNG beside other quantizers' results for
// the same picture: the peak signal-to-noise ratio of each over 8-bit RGB,
// and the median time of our quantize call.
//
// Usage: tintrod_quantize_quality ORIGINAL.png [OTHER.png ...]
// Prints: ours_psnr ours_milliseconds ours_colours other_psnr...
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "quantize/quantize.h"

namespace tintrod {
namespace {

constexpr int kRepetitions = 7;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

bool load(const char* path, Picture& picture) {
  int channels = 0;
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load(path, &picture.width, &picture.height, &channels, 3), stbi_image_free);
  if (!pixels) return false;
  const auto size = static_cast<std::size_t>(picture.width) * picture.height * 3;
  picture.rgb.assign(pixels.get(), pixels.get() + size);
  return true;
}

// The same measure for every quantizer: mean squared error over all pixels
// and all three channels, against the 8-bit peak. Infinite when exact.
double psnr(const std::vector<std::uint8_t>& original, const std::vector<std::uint8_t>& other) {
  double error = 0;
  for (std::size_t i = 0; i < original.size(); ++i) {
    const double difference = static_cast<double>(original[i]) - other[i];
    error += difference * difference;
  }
  if (error == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(255.0 * 255.0 * static_cast<double>(original.size()) / error);
}

std::vector<std::uint8_t> expand(const QuantizedPicture& result) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(result.indices.size() * 3);
  for (const std::uint8_t index : result.indices) {
    rgb.insert(rgb.end(), result.palette.begin() + 3 * index,
               result.palette.begin() + 3 * index + 3);
  }
  return rgb;
}

}  // namespace
}  // namespace tintrod

int main(int argc, char** argv) {
  using tintrod::Picture;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s ORIGINAL.png [OTHER.png ...]\n", argv[0]);
    return 2;
  }
  Picture original;
  if (!tintrod::load(argv[1], original)) {
    std::fprintf(stderr, "cannot decode %s\n", argv[1]);
    return 1;
  }
  std::vector<double> milliseconds;
  tintrod::QuantizedPicture result;
  for (int run = 0; run < tintrod::kRepetitions; ++run) {
    const auto start = std::chrono::steady_clock::now();
    result = tintrod::quantizePicture(original.rgb, original.width, original.height);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    milliseconds.push_back(took.count());
  }
  std::nth_element(milliseconds.begin(), milliseconds.begin() + tintrod::kRepetitions / 2,
                   milliseconds.end());
  std::printf("%.2f %.2f %zu", tintrod::psnr(original.rgb, tintrod::expand(result)),
              milliseconds[tintrod::kRepetitions / 2], result.palette.size() / 3);
  for (int i = 2; i < argc; ++i) {
    Picture other;
    if (!tintrod::load(argv[i], other) || other.width != original.width ||
        other.height != original.height) {
      std::fprintf(stderr, "cannot decode %s at the original's size\n", argv[i]);
      return 1;
    }
    std::printf(" %.2f", tintrod::psnr(original.rgb, other.rgb));
  }
  std::printf("\n");
  return 0;
}
