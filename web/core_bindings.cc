// The page's way into the core. The page writes files into the in-memory file
// system, these calls run the programs' own passes on them there, and the
// results go back as plain objects: lines, numbers and pixel arrays. No file
// format is read or written anywhere but in the core.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "entry/program_entry.h"
#include "mip/mip_level.h"
#include "os/os.h"
#include "prepare/prepare_picture.h"
#include "sample/sample_files.h"
#include "template/chunk_table_reader.h"
#include "template/feeding_slots.h"
#include "template/open_template.h"
#include "template/owned_texture.h"
#include "template/part_names.h"
#include "template/skin_slots.h"
#include "template/texture_table.h"
#include "tool/load_bitmap.h"
#include "tool/skin_run.h"
#include "util/failure_tables.h"
#include "util/status.h"
#include "web/rgba_level.h"
#include "web/slot_picture.h"

namespace tintrod::web {
namespace {

using emscripten::val;

// A failure inside the page ends the call, never the page. Running out of
// memory is, as on the command line, a model this machine cannot hold, unless
// the call says otherwise.
template <typename Work>
Status runCall(Work&& work, Failure outOfMemory = Failure::kTemplateCorrupt) {
  Status status = runGuarded(outOfMemory, std::forward<Work>(work));
  std::fflush(stdout);
  return status;
}

val bytesToJs(const std::vector<std::uint8_t>& bytes) {
  // The view aliases the heap, which may move at the next allocation: copy.
  return val(emscripten::typed_memory_view(bytes.size(), bytes.data())).call<val>("slice");
}

val levelsToJs(const TextureRecord& record) {
  val levels = val::array();
  for (int index = 0; index < kPixelLevelCount; ++index) {
    const PixelLevel level = record.level(index);
    if (level.pixels == nullptr || level.width == 0 || level.height == 0) break;
    val entry = val::object();
    entry.set("width", level.width);
    entry.set("height", level.height);
    entry.set("rgba", bytesToJs(rgbaOfLevel(level, record.palette())));
    levels.call<void>("push", entry);
  }
  return levels;
}

// The failure's line without its newline.
std::string failureText(const Status& status) {
  const std::string line = status.line();
  return line.substr(0, line.find('\n'));
}

// What a person can do about a failure, in words for the page; the line
// stays beside it as the detail.
const char* adviceFor(Failure failure) {
  switch (failure) {
    case Failure::kTemplateCorrupt:
    case Failure::kTextureMissing:
      return "This file is not a cue model the page can read: pick the game's cue model, a file "
             "ending in .obp such as cueTemplate.obp.";
    case Failure::kPictureDecode:
      return "This file is not a picture the page can read: pick another picture, or save this "
             "one as PNG or JPEG first.";
    case Failure::kPictureTooLarge:
      return "This picture is too large for the page: pick a smaller one, or make this one "
             "smaller first.";
    case Failure::kOutOfMemory:
      return "The browser ran out of memory: close other tabs, or pick a smaller picture.";
    case Failure::kTemplateMissing:
    case Failure::kModelRead:
    case Failure::kPictureRead:
    case Failure::kPictureMissing:
    case Failure::kPictureNotPermitted:
    case Failure::kBitmapOpen:
      return "The page could not read this file: pick it again.";
    default:
      return "Something went wrong: the line below says what.";
  }
}

val failureToJs(const Status& status) {
  val result = val::object();
  result.set("failure", failureText(status));
  result.set("advice", std::string(adviceFor(status.failure())));
  return result;
}

// Every texture of the model `cueTemplate.obp` in `folder`, in table order.
val listTextures(const std::string& folder) {
  val textures = val::array();
  const Status status = runCall([&] {
    if (SystemStatus entered = os::changeFolder(folder); !entered.ok()) {
      return failureFor(kSkinFailures, Operation::kEnterFolder, entered);
    }
    ChunkTableReader reader;
    Result<InputFile> stream = openTemplate();
    if (!stream.ok()) return stream.status();
    const Result<TextureTable> read = readTextureTable(reader, *stream);
    if (!read.ok()) return read.status();
    const TextureTable& table = *read;
    const std::vector<const SkinSlot*> slots = feedingSlots(table);
    for (std::size_t index = 0; index < table.records.size(); ++index) {
      const TextureRecord& record = table.records[index];
      val texture = val::object();
      texture.set("name", std::string(record.name()));
      texture.set("width", record.width());
      texture.set("height", record.height());
      texture.set("slot", slots[index] != nullptr ? slots[index]->argumentName : "");
      texture.set("levels", levelsToJs(record));
      textures.call<void>("push", texture);
    }
    return Status();
  });
  if (!status.ok()) return failureToJs(status);
  val result = val::object();
  result.set("textures", textures);
  return result;
}

// The nine slots in command-line order.
val skinSlots() {
  val slots = val::array();
  for (const SkinSlot& slot : kSkinSlots) {
    val entry = val::object();
    entry.set("argument", slot.argumentName);
    entry.set("texture", slot.textureName);
    entry.set("part", slot.partName);
    entry.set("width", slot.width);
    entry.set("height", slot.height);
    slots.call<void>("push", entry);
  }
  return slots;
}

// The texture a slot's bitmap becomes: loaded into a record of the slot's size
// exactly as the skinning pass loads it, with both smaller levels rebuilt.
Result<val> storedTexture(const SkinSlot& slot, const IndexedBitmap& bitmap,
                          const std::string& bitmapPath) {
  OwnedTexture texture(static_cast<std::uint16_t>(slot.width),
                       static_cast<std::uint16_t>(slot.height));
  TextureRecord record = texture.record();
  Status loaded = loadIntoTexture(record, bitmap, bitmapPath);
  if (!loaded.ok()) return loaded;
  buildSmallerLevels(record.pixels(), record.width(), record.height(), record.palette());
  return levelsToJs(record);
}

// Takes the picture `name` in `folder` for slot `slotIndex` (0 to 8): an
// 8-bit bitmap that the skinning pass accepts is used as it is, as on the
// command line; anything else is prepared for the slot with `fit` (0 stretch,
// 1 crop, 2 pad), `dither` and `background` (0xRRGGBB, behind transparent
// parts and padding) and written to `preparedPath`. Returns the
// bitmap to skin with, the texture it becomes, the picture's own size and
// whether it looks blocky, or the failure's line with advice for the page;
// the line names the picture as the page got it.
val useSlotPicture(int slotIndex, const std::string& folder, const std::string& name,
                   const std::string& preparedPath, int fit, bool dither, int background) {
  constexpr int kLargestColour = 0xFFFFFF;
  if (slotIndex < 0 || slotIndex >= static_cast<int>(kSkinSlots.size()) || fit < 0 || fit > 2 ||
      background < 0 || background > kLargestColour) {
    return failureToJs(Status(Failure::kUnknownSlot, std::to_string(slotIndex)));
  }
  const SkinSlot& slot = kSkinSlots[static_cast<std::size_t>(slotIndex)];
  if (SystemStatus entered = os::changeFolder(folder); !entered.ok()) {
    return failureToJs(failureFor(kPrepareFailures, Operation::kEnterFolder, entered, name));
  }
  std::string bitmapPath = folder + "/" + name;
  // Read once and judged as the skinning pass judges it, under the same
  // limit; what was judged is what the texture is made from.
  std::optional<IndexedBitmap> bitmap;
  const auto readAsSlot = [&](const std::string& path) {
    return runCall([&] {
      Result<IndexedBitmap> read = readSlotBitmap(slot.width, slot.height, path);
      if (!read.ok()) return read.status();
      bitmap = std::move(*read);
      return Status();
    });
  };
  const bool asIs = readAsSlot(name).ok();
  PictureSize pictureSize{slot.width, slot.height};
  if (!asIs) {
    const Colour colour = {static_cast<std::uint8_t>(background >> 16),
                           static_cast<std::uint8_t>(background >> 8),
                           static_cast<std::uint8_t>(background)};
    const PrepareOptions options{static_cast<Fit>(fit), dither, colour};
    const Status prepared = runCall(
        [&] {
          const Result<PictureSize> size = prepareSlotPicture(name, slot, options, preparedPath);
          if (!size.ok()) return size.status();
          pictureSize = *size;
          return Status();
        },
        Failure::kOutOfMemory);
    if (!prepared.ok()) {
      val failure = failureToJs(prepared);
      failure.set("inPictureFormat",
                  prepared.failure() != Failure::kPictureDecode || web::inPictureFormat(name));
      return failure;
    }
    bitmapPath = preparedPath;
    if (Status read = readAsSlot(preparedPath); !read.ok()) return failureToJs(read);
  }
  val levels = val::null();
  const Status stored = runCall([&] {
    Result<val> texture = storedTexture(slot, *bitmap, bitmapPath);
    if (!texture.ok()) return texture.status();
    levels = *texture;
    return Status();
  });
  if (!stored.ok()) return failureToJs(stored);
  val result = val::object();
  result.set("bitmapPath", bitmapPath);
  result.set("prepared", !asIs);
  result.set("blocky", looksBlocky(pictureSize, slot));
  result.set("pictureWidth", static_cast<double>(pictureSize.width));
  result.set("pictureHeight", static_cast<double>(pictureSize.height));
  result.set("levels", levels);
  return result;
}

// The failure's line and advice for a picture `name` that the browser could
// not read, by the name of the error it gave (web/slot_picture.h).
val pictureRefused(const std::string& name, const std::string& browserError) {
  val failure = failureToJs(web::browserRefusal(name, browserError));
  failure.set("inPictureFormat", true);
  return failure;
}

// The slot a picture's file name stands for (0 to 8), as --into matches it;
// -1 when it names no part, or two.
int slotNamed(const std::string& fileName) {
  const SkinSlot* slot = partsNamedBy(fileName).part();
  return slot != nullptr ? slot->argumentIndex - 1 : -1;
}

// Every slot a picture's file name names, in the name's order: none, one, or
// the two of a name such as "wrap and butt.jpg", for the page to ask which.
val slotsNamedBy(const std::string& fileName) {
  const NamedParts named = partsNamedBy(fileName);
  val slots = val::array();
  for (const SkinSlot* slot : {named.first, named.second}) {
    if (slot != nullptr) slots.call<void>("push", slot->argumentIndex - 1);
  }
  return slots;
}

// The bundled sample, as tintrod-sample writes it: {model, bitmaps: [{name,
// bytes}]} with the bitmaps in slot order.
val sampleFiles() {
  val bitmaps = val::array();
  for (int slot = 0; slot < static_cast<int>(sample::kBitmapNames.size()); ++slot) {
    val entry = val::object();
    entry.set("name", std::string(sample::kBitmapNames[static_cast<std::size_t>(slot)]));
    entry.set("bytes", bytesToJs(sample::slotBitmap(slot)));
    bitmaps.call<void>("push", entry);
  }
  val files = val::object();
  files.set("model", bytesToJs(sample::sampleTemplate()));
  files.set("bitmaps", bitmaps);
  return files;
}

// One run of the skinning pass in `folder` with `arguments` (one per line).
// What it prints reaches the page through the module's standard output;
// the result holds the exit status and the failure line, if any.
val skin(const std::string& folder, const std::string& arguments) {
  std::vector<std::string> list;
  std::size_t start = 0;
  while (start < arguments.size()) {
    const std::size_t end = arguments.find('\n', start);
    const std::size_t stop = end == std::string::npos ? arguments.size() : end;
    list.push_back(arguments.substr(start, stop - start));
    start = stop + 1;
  }
  const Status status = runCall([&] {
    if (SystemStatus entered = os::changeFolder(folder); !entered.ok()) {
      return failureFor(kSkinFailures, Operation::kEnterFolder, entered);
    }
    ChunkTableReader reader;
    return runSkinning(list, reader);
  });
  val result = val::object();
  result.set("status", status.ok() ? 0 : 1);
  if (!status.ok()) {
    result.set("failure", failureText(status));
    result.set("advice", std::string(adviceFor(status.failure())));
  }
  return result;
}

}  // namespace
}  // namespace tintrod::web

EMSCRIPTEN_BINDINGS(tintrod_core) {
  emscripten::function("listTextures", &tintrod::web::listTextures);
  emscripten::function("skinSlots", &tintrod::web::skinSlots);
  emscripten::function("useSlotPicture", &tintrod::web::useSlotPicture);
  emscripten::function("pictureRefused", &tintrod::web::pictureRefused);
  emscripten::function("skin", &tintrod::web::skin);
  emscripten::function("slotNamed", &tintrod::web::slotNamed);
  emscripten::function("slotsNamedBy", &tintrod::web::slotsNamedBy);
  emscripten::function("sampleFiles", &tintrod::web::sampleFiles);
}
