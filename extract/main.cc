#include "entry/program_entry.h"
#include "extract/extract_run.h"
#include "template/chunk_table_reader.h"

namespace {

tintrod::Status extract(std::span<const std::string> arguments) {
  tintrod::ChunkTableReader reader;
  return tintrod::runExtract(arguments, reader);
}

}  // namespace

// As for tintrod: only a model's own tables size the large allocations.
int main(int argc, char** argv) {
  return tintrod::runProgram(argc, argv, {extract, tintrod::Failure::kTemplateCorrupt});
}
