#include "prepare/prepare_picture.h"

namespace tintrod {

PreparedPicture preparePicture(std::span<const std::uint8_t> /*picture*/, int /*width*/,
                               int /*height*/, const PrepareOptions& /*options*/) {
  return {Failure::kPictureDecode, {}};
}

}  // namespace tintrod
