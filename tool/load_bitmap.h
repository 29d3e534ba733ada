#pragma once

#include <string>

#include "template/texture_record.h"
#include "util/status.h"

namespace tintrod {

// Replaces the record's palette and level 0 of its pixel block with the
// bitmap's. Re-checks everything validation checked; a failure leaves the
// record unchanged.
Status loadBitmapIntoTexture(TextureRecord& record, const std::string& path);

}  // namespace tintrod
