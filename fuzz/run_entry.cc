#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "template/chunk_table_reader.h"
#include "template/format.h"
#include "template/skin_slots.h"
#include "tests/support/bitmap_builder.h"
#include "tests/support/template_builder.h"
#include "tool/skin_run.h"

namespace tintrod::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kTemplateMode = 1;  // the low bit of the first byte
const Bytes kEarlierOutput = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};

std::string bitmapName(std::size_t slot) {
  return std::string(kSkinSlots[slot].argumentName) + ".bmp";
}

// Broad bands of a few colours: the mip levels of flat areas come cheap, so
// the run spends its time on the fuzzed file rather than on the eight others.
Bytes validBitmap(std::size_t slot) {
  const SkinSlot& skin = kSkinSlots[slot];
  testing::BitmapPlan plan =
      testing::makeBitmap(skin.width, skin.height, static_cast<std::uint32_t>(slot), 4);
  for (std::size_t i = 0; i < plan.indices.size(); ++i) {
    plan.indices[i] =
        static_cast<std::uint8_t>(i / (16 * static_cast<std::size_t>(skin.width)) % 4);
  }
  return testing::encodeBitmap(plan);
}

Bytes validTemplate() {
  std::vector<testing::TexturePlan> textures;
  std::uint32_t seed = 1;
  for (const SkinSlot& slot : kSkinSlots) {
    textures.push_back(testing::makeTexture(slot.textureName,
                                            static_cast<std::uint16_t>(slot.width),
                                            static_cast<std::uint16_t>(slot.height), seed++));
  }
  return testing::buildTemplate({testing::chunk("HEAD", Bytes(8, 1)),
                                 testing::textureTableChunk(textures),
                                 testing::chunk("TAIL", Bytes(8, 2))});
}

// The private folder with a valid template and nine valid bitmaps; each input
// overwrites one file, which the next input puts back.
class RunFolder {
 public:
  RunFolder() : path_(scratchFolder() / "run"), template_(validTemplate()) {
    fs::create_directories(path_);
    testing::writeFile(path_ / kTemplateFileName, template_);
    for (std::size_t slot = 0; slot < kSkinSlots.size(); ++slot) {
      bitmaps_.push_back(validBitmap(slot));
      testing::writeFile(path_ / bitmapName(slot), bitmaps_[slot]);
      expectedNames_.push_back(bitmapName(slot));
    }
    expectedNames_.push_back(kOutputFileName);
    expectedNames_.push_back(kTemplateFileName);
    std::sort(expectedNames_.begin(), expectedNames_.end());
  }

  const fs::path& path() const { return path_; }
  const Bytes& validTemplateBytes() const { return template_; }
  const std::vector<std::string>& expectedNames() const { return expectedNames_; }

  // Writes `bytes` as the template (slot < 0) or as a slot's bitmap.
  void place(int slot, const Bytes& bytes) {
    restore();
    replaced_ = slot;
    testing::writeFile(fileOf(slot), bytes);
  }

 private:
  fs::path fileOf(int slot) const {
    return slot < 0 ? path_ / kTemplateFileName
                    : path_ / bitmapName(static_cast<std::size_t>(slot));
  }

  void restore() {
    if (replaced_ == kNothingReplaced) return;
    testing::writeFile(fileOf(replaced_),
                       replaced_ < 0 ? template_ : bitmaps_[static_cast<std::size_t>(replaced_)]);
    replaced_ = kNothingReplaced;
  }

  static constexpr int kNothingReplaced = -2;
  fs::path path_;
  Bytes template_;
  std::vector<Bytes> bitmaps_;
  std::vector<std::string> expectedNames_;
  int replaced_ = kNothingReplaced;
};

// Enters a folder and returns to where it was, failures included.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& path) : previous_(fs::current_path()) {
    fs::current_path(path);
  }
  ~WorkingDirectory() { fs::current_path(previous_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  fs::path previous_;
};

std::vector<std::string> runArguments() {
  std::vector<std::string> arguments;
  for (std::size_t slot = 0; slot < kSkinSlots.size(); ++slot) {
    arguments.push_back(bitmapName(slot));
  }
  return arguments;
}

bool isBitmapFailure(Failure failure) {
  return failure == Failure::kBitmapOpen || failure == Failure::kBitmapWidth ||
         failure == Failure::kBitmapHeight || failure == Failure::kBitmapDepth ||
         failure == Failure::kBitmapCorrupt;
}

// Beside nine valid bitmaps a template can only be broken, lack a texture, or
// hold one of another size than its slot.
bool isTemplateFailure(Failure failure) {
  return failure == Failure::kTemplateCorrupt || failure == Failure::kTextureMissing ||
         failure == Failure::kBitmapWidth || failure == Failure::kBitmapHeight;
}

// The table's 40-byte head, and everything outside its chunk, reach the
// output unchanged. The reader that served the run still knows where the
// verified table's column data began and how long its chunk was.
bool keepsBytesOutsideTable(const Bytes& output, const Bytes& original,
                            const ChunkTableReader& reader) {
  const std::int64_t tablePos = reader.dataPos() - kTextureTableHeadSize;
  const std::int64_t chunkEnd = tablePos + kTagSize + reader.chunkSize();
  const auto length = static_cast<std::int64_t>(original.size());
  if (output.size() != original.size() || tablePos < 0 || chunkEnd > length) return false;
  return std::equal(output.begin(), output.begin() + tablePos + kTextureTableHeadSize,
                    original.begin()) &&
         std::equal(output.begin() + chunkEnd, output.end(), original.begin() + chunkEnd);
}

}  // namespace

void fuzzRun(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  static RunFolder folder;
  const bool templateMode = (data[0] & kTemplateMode) != 0;
  const int slot = templateMode ? -1 : (data[0] >> 1) % static_cast<int>(kSkinSlots.size());
  const Bytes input(data + 1, data + size);
  folder.place(slot, input);
  testing::writeFile(folder.path() / kOutputFileName, kEarlierOutput);

  std::optional<CaughtFailure> failure;
  ChunkTableReader reader;
  {
    const WorkingDirectory inFolder(folder.path());
    const std::vector<std::string> arguments = runArguments();
    failure = caughtFailureOf([&] { return runSkinning(arguments, reader); });
  }

  const Bytes templateBytes = testing::readFile(folder.path() / kTemplateFileName);
  expectProperty(templateBytes == (templateMode ? input : folder.validTemplateBytes()),
                 "the template is never modified");
  expectProperty(testing::listDirectory(folder.path()) == folder.expectedNames(),
                 "a run leaves no temporary file");
  const Bytes output = testing::readFile(folder.path() / kOutputFileName);
  if (!failure) {
    expectProperty(keepsBytesOutsideTable(output, templateBytes, reader),
                   "the output is the template outside the texture table");
    return;
  }
  expectProperty(output == kEarlierOutput, "a failed run leaves an earlier output as it was");
  if (templateMode) {
    expectProperty(isTemplateFailure(failure->failure), "a template fails as a template");
  } else {
    expectProperty(
        isBitmapFailure(failure->failure) &&
            failure->line.find(bitmapName(static_cast<std::size_t>(slot))) != std::string::npos,
        "a bitmap fails naming its own path");
  }
}

}  // namespace tintrod::fuzz
