// WebP in one place: its RIFF header and chunks, read here so that the limits
// are checked and a cut-off file is refused before libwebp sees it, what
// libwebp holds while it decodes, and the decoding itself.
#include <algorithm>
#include <optional>
#include <string_view>

#include "picture/composite.h"
#include "picture/formats.h"
#include "picture/whole_picture.h"
#include "util/coding.h"

#if TINTROD_WEBP
#include <webp/decode.h>
#endif

namespace tintrod {
namespace {

constexpr std::size_t kRiffHeaderSize = 12;  // "RIFF", size, "WEBP"
constexpr std::size_t kChunkHeaderSize = 8;  // fourcc, size
constexpr std::uint8_t kLosslessSignature = 0x2F;
constexpr std::uint8_t kExtendedAlpha = 0x10;
constexpr std::uint8_t kExtendedAnimation = 0x02;
constexpr int kRgbaChannels = 4;
[[maybe_unused]] constexpr std::uint32_t kMax8 = 255;

// A lossless picture is decoded into 32-bit pixels first, then into the
// output (4 bytes a pixel with alpha); a lossy one holds a few rows beside
// the output. Rows of either are padded, with tables on top.
constexpr std::int64_t kWebpBytesPerPixel = 8;
constexpr std::int64_t kWebpFixedBytes = std::int64_t{1} << 20;

bool fourcc(std::span<const std::uint8_t> bytes, std::string_view name) {
  return bytes.size() >= name.size() && std::equal(name.begin(), name.end(), bytes.begin());
}

std::uint32_t decode24(const std::uint8_t* p) {
  return decodeFixed16(p) | std::uint32_t{p[2]} << 16;
}

// The canvas, and whether the picture carries alpha.
struct Canvas {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool alpha = false;
};

std::optional<Canvas> sized(std::int64_t width, std::int64_t height, bool alpha) {
  if (width <= 0 || height <= 0) return std::nullopt;
  return Canvas{width, height, alpha};
}

// A key frame: its tag, the start code, then 14-bit sides.
std::optional<Canvas> lossyHeader(std::span<const std::uint8_t> data, bool alpha) {
  constexpr std::size_t kSizeOffset = 6;
  if (data.size() < kSizeOffset + 4 || (data[0] & 1) != 0 || data[3] != 0x9D || data[4] != 0x01 ||
      data[5] != 0x2A) {
    return std::nullopt;
  }
  return sized(decodeFixed16(&data[kSizeOffset]) & 0x3FFF,
               decodeFixed16(&data[kSizeOffset + 2]) & 0x3FFF, alpha);
}

// The signature, then sides less one in 14 bits each, alpha, version 0.
std::optional<Canvas> losslessHeader(std::span<const std::uint8_t> data) {
  if (data.size() < 5 || data[0] != kLosslessSignature) return std::nullopt;
  const std::uint32_t bits = decodeFixed32(&data[1]);
  if (bits >> 29 != 0) return std::nullopt;
  return sized((bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1, (bits >> 28 & 1) != 0);
}

// The canvas of a still WebP whose chunks all lie inside the file; nothing
// for an animation, a cut-off file or one without a picture chunk.
std::optional<Canvas> stillCanvas(std::span<const std::uint8_t> file) {
  // Every chunk within the RIFF size, and that within the file: a cut-off
  // file is refused here whatever the decoder would make of it.
  const std::uint64_t riffEnd = std::uint64_t{decodeFixed32(&file[4])} + kChunkHeaderSize;
  if (riffEnd > file.size()) return std::nullopt;
  std::optional<Canvas> canvas;
  for (std::uint64_t at = kRiffHeaderSize; at + kChunkHeaderSize <= riffEnd;) {
    const auto chunk = file.subspan(std::size_t(at));
    const std::uint64_t size = decodeFixed32(&chunk[4]);
    if (at + kChunkHeaderSize + size > riffEnd) return std::nullopt;
    const auto data = chunk.subspan(kChunkHeaderSize, std::size_t(size));
    if (fourcc(chunk, "VP8X")) {
      if (data.size() < 10 || (data[0] & kExtendedAnimation) != 0) return std::nullopt;
      const std::int64_t width = std::int64_t{decode24(&data[4])} + 1;
      const std::int64_t height = std::int64_t{decode24(&data[7])} + 1;
      canvas = sized(width, height, (data[0] & kExtendedAlpha) != 0);
      if (!canvas) return std::nullopt;
    } else if (fourcc(chunk, "VP8 ") || fourcc(chunk, "VP8L")) {
      auto picture = fourcc(chunk, "VP8L") ? losslessHeader(data) : lossyHeader(data, false);
      if (!picture) return std::nullopt;
      if (!canvas) return picture;
      // A still picture fills its canvas.
      if (picture->width != canvas->width || picture->height != canvas->height) {
        return std::nullopt;
      }
      return canvas;
    }
    at += kChunkHeaderSize + size + (size & 1);  // chunks are padded to even sizes
  }
  return std::nullopt;
}

#if TINTROD_WEBP
// kPictureDecode for a file libwebp refuses or whose picture is not the
// declared one; the picture, alpha composited over `background`, otherwise.
Result<RgbPicture> decodeWebp(std::span<const std::uint8_t> file, const PictureInfo& info,
                              const Colour& background) {
  WebPDecoderConfig config;
  if (WebPInitDecoderConfig(&config) == 0 ||
      WebPGetFeatures(file.data(), file.size(), &config.input) != VP8_STATUS_OK ||
      config.input.has_animation != 0 || config.input.width != info.width ||
      config.input.height != info.height) {
    return Status(Failure::kPictureDecode);
  }
  const bool alpha = config.input.has_alpha != 0;
  const int channels = alpha ? kRgbaChannels : kRgbChannels;
  const std::size_t count = std::size_t(info.width) * std::size_t(info.height);
  RgbPicture picture;
  picture.width = config.input.width;
  picture.height = config.input.height;
  picture.channels = PixelBytes(count * kRgbChannels, os::LargeBuffer::Content::kUndefined);
  PixelBytes rgba;
  if (alpha) rgba = PixelBytes(count * kRgbaChannels, os::LargeBuffer::Content::kUndefined);
  PixelBytes& target = alpha ? rgba : picture.channels;
  config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = target.data();
  config.output.u.RGBA.stride = picture.width * channels;
  config.output.u.RGBA.size = target.size();
  const VP8StatusCode status = WebPDecode(file.data(), file.size(), &config);
  WebPFreeDecBuffer(&config.output);
  if (status != VP8_STATUS_OK) return Status(Failure::kPictureDecode);
  if (alpha) {
    compositeOver<std::uint8_t, kMax8>(background, rgba.data(), kRgbaChannels, count,
                                       picture.channels.data());
  }
  return picture;
}
#else
// A build without libwebp reads the header (and so the limits) alone.
Result<RgbPicture> decodeWebp(std::span<const std::uint8_t>, const PictureInfo&, const Colour&) {
  return Status(Failure::kPictureDecode);
}
#endif

class WebpReader final : public WholePictureReader {
 public:
  WebpReader(std::span<const std::uint8_t> file, const Canvas& canvas)
      : WholePictureReader(file, PictureInfo{PictureFormat::kWebp, canvas.width, canvas.height}),
        alpha_(canvas.alpha) {}

  DecodedPicture decodeWhole(const Colour& background) override {
    return decodeWebp(file(), info(), background);
  }

 private:
  // The library's pixels, and the opaque picture made from them when they
  // carry alpha.
  DecodingCost cost() const override {
    const std::int64_t pixels = info().width * info().height;
    const std::int64_t decoded = pixels * (alpha_ ? kRgbaChannels : kRgbChannels);
    const std::int64_t widened = alpha_ ? pixels * kRgbChannels : 0;
    return {pixels * kWebpBytesPerPixel + widened + kWebpFixedBytes, decoded};
  }
  // Its chunks are checked with its header.
  bool complete() const override { return true; }

  bool alpha_;
};

}  // namespace

bool isWebpFile(std::span<const std::uint8_t> file) {
  return file.size() >= kRiffHeaderSize && fourcc(file, "RIFF") && fourcc(file.subspan(8), "WEBP");
}

std::unique_ptr<PictureReader> openWebp(std::span<const std::uint8_t> file) {
  const std::optional<Canvas> canvas = stillCanvas(file);
  if (!canvas) return nullptr;
  return std::make_unique<WebpReader>(file, *canvas);
}

}  // namespace tintrod
