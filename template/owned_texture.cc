#include "template/owned_texture.h"

#include "template/format.h"
#include "util/coding.h"

namespace tintrod {

OwnedTexture::OwnedTexture(std::uint16_t width, std::uint16_t height)
    : bytes_(kTextureRecordSize, 0),
      pixels_(static_cast<std::size_t>(pixelBlockLength(width, height)), 0) {
  encodeFixed16(bytes_.data() + kRecordWidthOffset, width);
  encodeFixed16(bytes_.data() + kRecordHeightOffset, height);
}

}  // namespace tintrod
