// Reading a picture file whole, with a failure that says why it could not
// be, and writing a prepared bitmap whole.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tintrod {

// The file's bytes. Fails with kPictureMissing, kPictureNotPermitted,
// kPictureFolder or kPictureRead when it cannot be read, and with
// kPictureTooLarge past kMaxPictureFileSize, before reading any of it.
std::vector<std::uint8_t> readPicture(const std::string& path);

// Whole or not at all: a failed write leaves an earlier file as it was.
bool writeBitmap(const std::string& path, std::span<const std::uint8_t> bitmap);

}  // namespace tintrod
