// The project's own 256-colour quantizer: a pure function, pixels and options
// in, palette and indices out; no files, no printing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tintrod {

struct QuantizeOptions {
  // Diffuse the quantization error (Floyd-Steinberg, serpentine). Off by
  // default: textures are mip-mapped, and dither noise turns into shimmer.
  bool dither = false;
};

struct QuantizedPicture {
  // One entry per colour used, at most 256, as red, green, blue triples.
  std::vector<std::uint8_t> palette;
  // One palette index per pixel, rows top to bottom.
  std::vector<std::uint8_t> indices;
};

// `rgb` holds width * height pixels as red, green, blue bytes, rows top to
// bottom. A picture of 256 colours or fewer keeps its colours exactly;
// otherwise the palette minimises the squared error and every pixel maps to
// its nearest entry. A picture without pixels, or whose `rgb` is not
// width * height pixels long, gives an empty palette and no indices.
QuantizedPicture quantizePicture(std::span<const std::uint8_t> rgb, int width, int height,
                                 const QuantizeOptions& options = {});

}  // namespace tintrod
