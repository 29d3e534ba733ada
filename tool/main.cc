#include <new>
#include <string>
#include <vector>

#include "template/chunk_table_reader.h"
#include "tool/skin_run.h"
#include "util/failure.h"

namespace {

// The one reader lives for the whole process; as a static object its
// destructor, which releases the arena, runs at every exit, failures included.
tintrod::ChunkTableReader reader;

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
    return tintrod::runSkinning(arguments, reader);
  } catch (const std::bad_alloc&) {
    // Every large allocation is sized from the template's own tables, checked
    // against its length first; running out of memory all the same is a
    // template this machine cannot hold.
    tintrod::fail(tintrod::Failure::kTemplateCorrupt);
  }
}
