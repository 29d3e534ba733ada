#include <new>
#include <string>
#include <vector>

#include "extract/extract_run.h"
#include "template/chunk_table_reader.h"
#include "util/failure.h"

namespace {

// As in tintrod: a static reader releases its arena at every exit.
tintrod::ChunkTableReader reader;

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
    return tintrod::runExtract(arguments, reader);
  } catch (const std::bad_alloc&) {
    // Every large allocation is sized from the template's own tables, checked
    // against its length first; running out of memory all the same is a
    // template this machine cannot hold.
    tintrod::fail(tintrod::Failure::kTemplateCorrupt);
  }
}
