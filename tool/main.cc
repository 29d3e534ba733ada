#include "entry/program_entry.h"
#include "template/chunk_table_reader.h"
#include "tool/skin_run.h"

namespace {

constexpr char kIntroduction[] =
    R"(tintrod writes a new cue model, cueNew.obp, from cueTemplate.obp and nine
textures. It is a command-line program: run it from a terminal with the
command tintrod-prepare prints.

Without a terminal, double-click tintrod.html: it does all of it in your
browser. README.txt tells how. Both are in the folder that holds this program.
)";

tintrod::Status skin(std::span<const std::string> arguments) {
  tintrod::ChunkTableReader reader;
  return tintrod::runSkinning(arguments, reader);
}

}  // namespace

// Every large allocation is sized from the template's own tables, checked
// against its length first; running out of memory all the same is a template
// this machine cannot hold.
int main(int argc, char** argv) {
  return tintrod::runProgram(argc, argv, {skin, tintrod::Failure::kTemplateCorrupt, kIntroduction});
}
