// A picture that the skinning pass does not take as it is, turned into one it
// does, the way tintrod-prepare turns it.
#pragma once

#include <string>
#include <string_view>

#include "picture/picture_reader.h"
#include "prepare/prepare_picture.h"
#include "template/skin_slots.h"
#include "util/status.h"

namespace tintrod::web {

// Reads the picture at `path`, prepares it for `slot` and writes the 8-bit
// bitmap to `bitmapPath`. Gives the size the picture declares, as a viewer
// shows it (a photo stored on its side turned); a failure names `path`.
Result<PictureSize> prepareSlotPicture(const std::string& path, const SkinSlot& slot,
                                       const PrepareOptions& options,
                                       const std::string& bitmapPath);

// The line for a picture the browser could not hand over, as tintrod-prepare
// prints it for a file the system would not give it: `browserError` is the
// name of the JavaScript error that reading the file ended in (NotFoundError
// when it has left the disk since it was chosen, RangeError when the tab
// cannot hold it).
Status browserRefusal(const std::string& name, std::string_view browserError);

// Whether the file at `path` is in a format the core reads, whole or damaged:
// the page leaves only the others (AVIF, say) to the browser's own decoder,
// never a damaged file the command line refuses.
bool inPictureFormat(const std::string& path);

// True when the slot's texture would be the picture enlarged more than twice
// in a direction, so each of its pixels becomes a visible block.
bool looksBlocky(const PictureSize& picture, const SkinSlot& slot);

}  // namespace tintrod::web
