// Each picture format's own file offers these two: whether a file is in the
// format (its signature), and its reader, or nothing when the header is cut
// off or declares no pixels. openPicture asks them in turn.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "picture/picture_reader.h"

namespace tintrod {

bool isPngFile(std::span<const std::uint8_t> file);
std::unique_ptr<PictureReader> openPng(std::span<const std::uint8_t> file);

bool isJpegFile(std::span<const std::uint8_t> file);
std::unique_ptr<PictureReader> openJpeg(std::span<const std::uint8_t> file);

bool isGifFile(std::span<const std::uint8_t> file);
std::unique_ptr<PictureReader> openGif(std::span<const std::uint8_t> file);

bool isBmpFile(std::span<const std::uint8_t> file);
std::unique_ptr<PictureReader> openBmp(std::span<const std::uint8_t> file);

bool isWebpFile(std::span<const std::uint8_t> file);
std::unique_ptr<PictureReader> openWebp(std::span<const std::uint8_t> file);

// A file type box naming a HEIF brand.
bool isHeifFile(std::span<const std::uint8_t> file);
std::unique_ptr<PictureReader> openHeif(std::span<const std::uint8_t> file);

// TGA has no signature: a file is taken as one when its header holds a
// combination of types and depths that the format allows. Asked last.
std::unique_ptr<PictureReader> openTga(std::span<const std::uint8_t> file);

}  // namespace tintrod
