#include "entry/program_entry.h"
#include "template/chunk_table_reader.h"
#include "tool/skin_run.h"

namespace {

tintrod::Status skin(std::span<const std::string> arguments) {
  tintrod::ChunkTableReader reader;
  return tintrod::runSkinning(arguments, reader);
}

}  // namespace

// Every large allocation is sized from the template's own tables, checked
// against its length first; running out of memory all the same is a template
// this machine cannot hold.
int main(int argc, char** argv) {
  return tintrod::runProgram(argc, argv, {skin, tintrod::Failure::kTemplateCorrupt});
}
