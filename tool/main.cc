#include <string>
#include <vector>

#include "template/chunk_table_reader.h"
#include "tool/skin_run.h"

namespace {

// The one reader lives for the whole process; as a static object its
// destructor, which releases the arena, runs at every exit, failures included.
tintrod::ChunkTableReader reader;

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
  return tintrod::runSkinning(arguments, reader);
}
