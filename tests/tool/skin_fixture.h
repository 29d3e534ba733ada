// A working directory with nine slot bitmaps and a template, for running the
// tool as a process.
#pragma once

#include <string>
#include <vector>

#include "tests/support/bitmap_builder.h"
#include "tests/support/scratch.h"
#include "tests/support/template_builder.h"

namespace tintrod::testing {

class SkinFixture {
 public:
  SkinFixture();

  const ScratchDir& dir() const { return dir_; }
  // The nine bitmap plans and their file names, in slot order.
  std::vector<BitmapPlan>& bitmaps() { return bitmaps_; }
  const std::vector<std::string>& bitmapNames() const { return names_; }

  void writeBitmaps() const;
  void writeBitmap(int slot, const Bytes& bytes) const;
  // The nine slot textures plus two others, in a template with chunks before
  // and after the table.
  static std::vector<TexturePlan> slotTextures();
  static Bytes templateWith(const std::vector<TexturePlan>& textures);
  void writeTemplate(const Bytes& bytes) const;

  ProcessResult run(const std::vector<std::string>& arguments) const;
  ProcessResult runWithBitmaps() const { return run(names_); }

 private:
  ScratchDir dir_;
  std::vector<BitmapPlan> bitmaps_;
  std::vector<std::string> names_;
};

// What a successful run must write for one slot texture: the bitmap's palette
// (zero past its colours), its indices as level 0, and both rebuilt levels.
std::array<std::uint8_t, 768> expectedPalette(const BitmapPlan& bitmap);
Bytes expectedPixelBlock(const BitmapPlan& bitmap);

}  // namespace tintrod::testing
