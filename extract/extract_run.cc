#include "extract/extract_run.h"

#include <cstdio>
#include <optional>

#include "bitmap/bitmap_writer.h"
#include "extract/command_line.h"
#include "extract/contact_sheet.h"
#include "extract/file_names.h"
#include "extract/file_output.h"
#include "extract/listing.h"
#include "extract/texture_files.h"
#include "template/format.h"
#include "template/texture_table.h"
#include "util/failure.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

// The same header and table checks as tintrod's, so a model is corrupt for
// both programs or for neither.
TextureTable readModel(ChunkTableReader& reader, const std::string& path) {
  InputFile stream;
  if (!stream.open(path)) fail(Failure::kModelMissing, path);
  if (!readSupportedHeader(stream)) fail(Failure::kTemplateCorrupt);
  return readTextureTable(reader, stream);
}

void writeTextures(const TextureTable& table, const std::string& folder) {
  const std::vector<const SkinSlot*> slots = feedingSlots(table);
  FileNamer namer;
  std::fputs(listingHeader().c_str(), stdout);
  for (std::size_t index = 0; index < table.records.size(); ++index) {
    const TextureRecord& record = table.records[index];
    const std::string file = writeTextureFiles(record, folder, namer.claim(record.name()));
    std::fputs(listingLine(index, record, slots[index], file).c_str(), stdout);
  }
}

void writeSheet(const TextureTable& table, const SheetLayout& layout, const std::string& path) {
  const auto file =
      encodeRgbBitmap(static_cast<std::int32_t>(layout.width),
                      static_cast<std::int32_t>(layout.height), drawSheet(table.records, layout));
  if (!file) fail(Failure::kFileWrite, path);
  writeWholeFile(path, *file);
}

}  // namespace

int runExtract(std::span<const std::string> arguments, ChunkTableReader& reader) {
  const std::optional<ExtractOptions> options = parseExtractArguments(arguments);
  if (!options) fail(Failure::kExtractUsage);
  const TextureTable table = readModel(reader, options->model);
  // Refused before any file is written, so a refusal leaves nothing behind.
  std::optional<SheetLayout> layout;
  if (options->sheet) {
    layout = layOutSheet(table.records);
    if (!layout->fitsLimit()) fail(Failure::kSheetTooLarge, *options->sheet);
  }
  makeFolder(options->folder);
  writeTextures(table, options->folder);
  if (layout) writeSheet(table, *layout, *options->sheet);
  return 0;
}

}  // namespace tintrod
