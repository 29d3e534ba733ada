// Linked into a copy of the tool in place of the mip level generator: the
// same run with every square scanning the palette entry by entry, as the
// baseline the generator is measured against. The copy's own object defines
// the function, so the linker never takes the generator's from its library.
#include "mip/mip_level.h"
#include "tests/support/mip_reference.h"

namespace tintrod {

void buildSmallerLevels(std::uint8_t* block, std::int32_t width, std::int32_t height,
                        const std::uint8_t* palette) {
  testing::buildMipLevelReference(block, width, height, palette);
  testing::buildMipLevelReference(block + static_cast<std::ptrdiff_t>(width) * height, width / 2,
                                  height / 2, palette);
}

}  // namespace tintrod
