// Reading a picture file whole, with a failure that says why it could not
// be, and the checks on an output before anything is prepared.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "os/large_buffer.h"
#include "prepare/slot_size.h"
#include "util/status.h"

namespace tintrod {

// The file's bytes. Fails with kPictureMissing, kPictureNotPermitted,
// kPictureFolder or kPictureRead when it cannot be read, and with
// kPictureTooLarge past kMaxPictureFileSize, before reading any of it, or
// when this machine cannot hold it.
Result<os::LargeBuffer> readPicture(const std::string& path);

// Refused before any picture is decoded, so a refusal costs no time and leaves
// everything as it was: an output named as another picture format (out.jpg),
// one that is one of the pictures (under any of its names), a folder, a
// device or a FIFO, or a file that is not an 8-bit BMP of the slot's size,
// as this program wrote it before: a user's own drawing is never replaced.
Status checkOutput(const std::string& output, std::span<const std::string> pictures, SlotSize slot);

}  // namespace tintrod
