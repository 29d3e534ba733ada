#include <algorithm>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "template/chunk_table_reader.h"
#include "template/format.h"
#include "template/patch_writer.h"
#include "template/texture_table.h"
#include "util/input_file.h"

namespace tintrod::fuzz {
namespace {

constexpr int kWordSize = 4;
constexpr std::uint8_t kMark = 0xFF;  // flips every bit, so no patched byte keeps its value

// Every record's palette and pixels changed, so that each byte the writer
// puts down differs from the template's.
void markRecords(TextureTable& table) {
  for (TextureRecord& record : table.records) {
    for (int i = 0; i < kPaletteSize; ++i) record.palette()[i] ^= kMark;
    for (std::int64_t i = 0; i < record.pixelBlockSize(); ++i) record.pixels()[i] ^= kMark;
  }
}

// The template with every palette and pixel block put where the layout of a
// texture table chunk places them, worked out here independently of the writer.
Bytes expectedPatch(const Bytes& original, const TextureTable& table) {
  Bytes expected = original;
  const auto count = static_cast<std::int64_t>(table.records.size());
  const auto put = [&](std::int64_t position, const std::uint8_t* bytes, std::int64_t length) {
    expectProperty(position >= 0 && length <= static_cast<std::int64_t>(expected.size()) - position,
                   "every patched byte lies inside the template");
    std::copy_n(bytes, length, expected.begin() + position);
  };
  std::int64_t position = table.tablePos + kTextureTableHeadSize + kLeadingColumnsWidth * count;
  for (const TextureRecord& record : table.records) {
    put(position, record.palette(), kPaletteSize);
    position += kPaletteSize;
  }
  position += kWordSize;  // the pixel column's element size
  for (const TextureRecord& record : table.records) {
    position += kWordSize;  // the record's element count
    put(position, record.pixels(), record.pixelBlockSize());
    position += record.pixelBlockSize();
  }
  return expected;
}

Bytes patchedCopy(const Bytes& original, const TextureTable& table) {
  const std::filesystem::path path = scratchFolder() / "patched";
  os::NewFile output;
  expectProperty(
      output.create(path.string(), os::kNewFilePermissions).ok() && output.append(original).ok(),
      "the copy is made for patching");
  expectProperty(patchTextures(output, table).ok(), "a verified table patches in full");
  expectProperty(output.publish().ok(), "the patched copy is published");
  return testing::readFile(path);
}

}  // namespace

void fuzzTemplate(const std::uint8_t* data, std::size_t size) {
  if (size < kTemplateHeaderSize) return;  // the run refuses these before any walk
  const Bytes original(data, data + size);
  const std::filesystem::path path = scratchFolder() / "template";
  testing::writeFile(path, original);

  ChunkTableReader reader;
  TextureTable table;
  InputFile stream;
  expectProperty(stream.open(path.string()).ok() && stream.seekTo(kTemplateHeaderSize),
                 "the template opens");
  const auto failure = caughtFailureOf([&] {
    Result<TextureTable> loaded = readTextureTable(reader, stream);
    if (loaded.ok()) table = std::move(*loaded);
    return loaded.status();
  });
  stream.close();
  if (failure) {
    expectProperty(failure->failure == Failure::kTemplateCorrupt,
                   "a template that cannot be loaded is corrupt");
    return;
  }
  markRecords(table);
  const Bytes patched = patchedCopy(original, table);
  expectProperty(patched.size() == original.size(), "patching keeps the length");
  expectProperty(patched == expectedPatch(original, table),
                 "patching writes the palettes and pixel blocks and nothing else");
}

}  // namespace tintrod::fuzz
