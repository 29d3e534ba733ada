// Checks of a picture file for inputs that decoders mishandle: data that ends
// before the pixels do (a decoder fills the rest with black and calls the
// picture whole), and work that the picture's size does not bound. A file that fails one is refused
// before any decoder sees it.
#pragma once

#include <cstdint>
#include <span>

#include "prepare/picture_header.h"

namespace tintrod {

// Every check that applies to the file's format. A PNG needs none here: its
// decoder refuses a cut-off file itself, and the memory budget bounds what
// its compressed data may grow to.
bool pictureGuardsPass(std::span<const std::uint8_t> file, PictureFormat format);

// A BMP of plain rows or bit fields holds all its rows. Run-length streams,
// which only the project's own reader takes, fail it.
bool bmpRowsPresent(std::span<const std::uint8_t> file);

// A TGA holds every pixel, plain or in run-length packets.
bool tgaPixelsPresent(std::span<const std::uint8_t> file);

}  // namespace tintrod
