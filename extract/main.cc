#include <string>
#include <vector>

#include "extract/extract_run.h"
#include "template/chunk_table_reader.h"

namespace {

// As in tintrod: a static reader releases its arena at every exit.
tintrod::ChunkTableReader reader;

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
  return tintrod::runExtract(arguments, reader);
}
