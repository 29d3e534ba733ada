#include "template/program_entry.h"

#include <new>
#include <vector>

#include "os/os.h"
#include "template/chunk_table_reader.h"
#include "util/failure.h"

namespace tintrod {
namespace {

// The one reader lives for the whole process; as a static object its
// destructor, which releases the arena, runs at every exit, failures included.
ChunkTableReader reader;

}  // namespace

int runProgram(int argc, char** argv, ProgramPass pass) {
  try {
    const std::vector<std::string> arguments = os::startProgram(argc, argv);
    return pass(arguments, reader);
  } catch (const std::bad_alloc&) {
    // Every large allocation is sized from the template's own tables, checked
    // against its length first; running out of memory all the same is a
    // template this machine cannot hold.
    fail(Failure::kTemplateCorrupt);
  }
}

}  // namespace tintrod
