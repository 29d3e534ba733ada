#include "tests/tool/skin_fixture.h"

#include "template/format.h"
#include "template/skin_slots.h"
#include "tests/support/mip_reference.h"

namespace tintrod::testing {

SkinFixture::SkinFixture() {
  std::uint32_t seed = 100;
  for (const SkinSlot& slot : kSkinSlots) {
    bitmaps_.push_back(makeBitmap(slot.width, slot.height, seed++));
    names_.push_back(std::string(slot.argumentName) + ".bmp");
  }
}

void SkinFixture::writeBitmaps() const {
  for (std::size_t slot = 0; slot < bitmaps_.size(); ++slot) {
    writeBitmap(static_cast<int>(slot), encodeBitmap(bitmaps_[slot]));
  }
}

void SkinFixture::writeBitmap(int slot, const Bytes& bytes) const {
  writeFile(dir_ / names_[slot], bytes);
}

std::vector<TexturePlan> SkinFixture::slotTextures() {
  std::vector<TexturePlan> textures;
  std::uint32_t seed = 7;
  textures.push_back(makeTexture("zbother", 64, 64, seed++));
  for (const SkinSlot& slot : kSkinSlots) {
    textures.push_back(makeTexture(slot.textureName, static_cast<std::uint16_t>(slot.width),
                                   static_cast<std::uint16_t>(slot.height), seed++));
  }
  textures.push_back(makeTexture("zbodd", 5, 3, seed++));
  return textures;
}

Bytes SkinFixture::templateWith(const std::vector<TexturePlan>& textures) {
  return buildTemplate({chunk("HEAD", Bytes(12, 0xAB)), chunk("END!", {}),
                        textureTableChunk(textures), chunk("TAIL", Bytes(33, 0xCD)),
                        textureTableChunk({makeTexture("zbrubber", 32, 32, 99)})});
}

void SkinFixture::writeTemplate(const Bytes& bytes) const {
  writeFile(dir_ / kTemplateFileName, bytes);
}

ProcessResult SkinFixture::run(const std::vector<std::string>& arguments) const {
  return runProcess(TINTROD_BINARY, arguments, dir_.path());
}

std::array<std::uint8_t, 768> expectedPalette(const BitmapPlan& bitmap) {
  std::array<std::uint8_t, 768> palette{};
  for (std::size_t i = 0; i < bitmap.colors.size() && i < 256; ++i) {
    for (int c = 0; c < 3; ++c) palette[3 * i + c] = bitmap.colors[i][c];
  }
  return palette;
}

Bytes expectedPixelBlock(const BitmapPlan& bitmap) {
  const auto width = static_cast<std::uint16_t>(bitmap.width);
  const auto height = static_cast<std::uint16_t>(bitmap.height);
  Bytes block(static_cast<std::size_t>(pixelBlockLength(width, height)));
  std::copy(bitmap.indices.begin(), bitmap.indices.end(), block.begin());
  const auto palette = expectedPalette(bitmap);
  buildMipLevelReference(block.data(), width, height, palette.data());
  buildMipLevelReference(block.data() + std::size_t{width} * height, width / 2, height / 2,
                         palette.data());
  return block;
}

}  // namespace tintrod::testing
