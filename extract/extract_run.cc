#include "extract/extract_run.h"

#include <cstdio>
#include <optional>

#include "bitmap/bitmap_writer.h"
#include "extract/command_line.h"
#include "extract/contact_sheet.h"
#include "extract/file_names.h"
#include "extract/file_output.h"
#include "extract/listing.h"
#include "extract/output_checks.h"
#include "extract/texture_files.h"
#include "os/os.h"
#include "template/feeding_slots.h"
#include "template/format.h"
#include "template/texture_table.h"
#include "util/failure_tables.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

// The same header and table checks as tintrod's, so a model is refused by
// both programs or by neither. The model stays open so that no output can be
// written over it.
Result<TextureTable> readModel(ChunkTableReader& reader, InputFile& model,
                               const std::string& path) {
  if (SystemStatus opened = model.open(path); !opened.ok()) {
    return failureFor(kExtractFailures, Operation::kReadModel, opened, path);
  }
  if (model.size() == 0) return Status(Failure::kModelEmpty, path);
  if (!readSupportedHeader(model)) return Status(Failure::kModelNotCueModel, path);
  Result<TextureTable> table = readTextureTable(reader, model);
  // Unlike tintrod's fixed line, extract's names the file: it reads any path.
  if (!table.ok() && table.status().failure() == Failure::kTemplateCorrupt) {
    return Status(Failure::kModelCorrupt, path);
  }
  return table;
}

// A texture's files and the listing line printed once they are written.
struct TextureOutput {
  std::vector<PlannedFile> files;
  std::string line;
};

std::vector<TextureOutput> planTextures(const TextureTable& table, const std::string& folder) {
  // Resolved once: a model's thousands of files would each cost a walk up
  // the folder's path.
  const std::string plannedFolder = os::plannedPath(inFolder(folder, "."));
  const std::vector<const SkinSlot*> slots = feedingSlots(table);
  FileNamer namer;
  std::vector<TextureOutput> outputs;
  for (std::size_t index = 0; index < table.records.size(); ++index) {
    const TextureRecord& record = table.records[index];
    const std::string stem = namer.claim(record.name());
    TextureOutput output{textureFiles(record, folder, plannedFolder, stem), {}};
    // Level 0 has pixels whenever a smaller level has.
    const std::string file = output.files.empty() ? "" : levelFileName(stem, 0);
    output.line = listingLine(index, record, slots[index], file);
    outputs.push_back(std::move(output));
  }
  return outputs;
}

Result<PlannedFile> planSheet(const TextureTable& table, const std::string& path) {
  const std::vector<const SkinSlot*> slots = feedingSlots(table);
  std::vector<std::string> labels;
  for (std::size_t index = 0; index < table.records.size(); ++index) {
    labels.push_back(sheetLabel(table.records[index], slots[index]));
  }
  const SheetLayout layout = layOutSheet(table.records, labels);
  // Refused before any file is written, so a refusal leaves nothing behind.
  if (!layout.fitsLimit()) return Status(Failure::kSheetTooLarge, path);
  return PlannedFile{path, os::plannedPath(path),
                     [&table, labels, layout, path]() -> Result<std::vector<std::uint8_t>> {
                       auto file = encodeRgbBitmap(static_cast<std::int32_t>(layout.width),
                                                   static_cast<std::int32_t>(layout.height),
                                                   drawSheet(table.records, labels, layout));
                       if (!file) return Status(Failure::kFileWrite, path);
                       return std::move(*file);
                     }};
}

std::vector<const PlannedFile*> textureFilesOf(const std::vector<TextureOutput>& textures) {
  std::vector<const PlannedFile*> files;
  for (const TextureOutput& texture : textures) {
    for (const PlannedFile& file : texture.files) files.push_back(&file);
  }
  return files;
}

Status writePlanned(const PlannedFile& file) {
  if (file.inPlace) return {};
  const Result<std::vector<std::uint8_t>> bytes = file.bytes();
  if (!bytes.ok()) return bytes.status();
  // Extracted files can always be made again from the model: flushing each of
  // thousands of them to disk would make a large model's run take minutes.
  SystemStatus written =
      os::writeWholeFile(file.path, *bytes, os::NewFile::Durability::kAtomicOnly);
  if (!written.ok()) return failureFor(kExtractFailures, Operation::kWriteFile, written, file.path);
  return {};
}

// Every refusal comes before the first write, so it leaves the folder as it was.
Status checkPlannedFiles(std::vector<TextureOutput>& textures, std::optional<PlannedFile>& sheet,
                         const InputFile& model, bool force) {
  if (sheet) {
    Status apart = checkSheetApart(*sheet, textureFilesOf(textures));
    if (!apart.ok()) return apart;
  }
  for (TextureOutput& texture : textures) {
    for (PlannedFile& file : texture.files) {
      Status checked = checkPlannedFile(file, model.handle(), force);
      if (!checked.ok()) return checked;
    }
  }
  return sheet ? checkPlannedFile(*sheet, model.handle(), force) : Status();
}

Status writeOutputs(const std::vector<TextureOutput>& textures,
                    const std::optional<PlannedFile>& sheet, const std::string& folder) {
  Status made = makeFolder(folder);
  if (!made.ok()) return made;
  std::fputs(listingHeader().c_str(), stdout);
  for (const TextureOutput& texture : textures) {
    for (const PlannedFile& file : texture.files) {
      Status written = writePlanned(file);
      if (!written.ok()) return written;
    }
    std::fputs(texture.line.c_str(), stdout);
  }
  return sheet ? writePlanned(*sheet) : Status();
}

}  // namespace

Status runExtract(std::span<const std::string> arguments, ChunkTableReader& reader) {
  const Result<ExtractCommand> command = parseExtractArguments(arguments);
  if (!command.ok()) return command.status();
  if (!command->runs()) {
    std::fputs(command->text().c_str(), stdout);
    return {};
  }
  const ExtractOptions& options = command->run();
  InputFile model;
  const Result<TextureTable> table = readModel(reader, model, options.model);
  if (!table.ok()) return table.status();
  std::vector<TextureOutput> textures = planTextures(*table, options.folder);
  std::optional<PlannedFile> sheet;
  if (options.sheet) {
    Result<PlannedFile> planned = planSheet(*table, *options.sheet);
    if (!planned.ok()) return planned.status();
    sheet = std::move(*planned);
  }
  Status checked = checkPlannedFiles(textures, sheet, model, options.force);
  if (!checked.ok()) return checked;
  return writeOutputs(textures, sheet, options.folder);
}

}  // namespace tintrod
