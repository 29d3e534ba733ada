#include "entry/program_entry.h"
#include "extract/extract_run.h"
#include "template/chunk_table_reader.h"

namespace {

constexpr char kIntroduction[] =
    R"(tintrod-extract shows what a cue model holds: it lists its textures and
writes each as a picture. It is a command-line program: run it from a
terminal in the folder that holds cueTemplate.obp; tintrod-extract -h shows
how.

Without a terminal, double-click tintrod.html: it does all of it in your
browser. README.txt tells how. Both are in the folder that holds this program.
)";

tintrod::Status extract(std::span<const std::string> arguments) {
  tintrod::ChunkTableReader reader;
  return tintrod::runExtract(arguments, reader);
}

}  // namespace

// As for tintrod: only a model's own tables size the large allocations.
int main(int argc, char** argv) {
  return tintrod::runProgram(argc, argv,
                             {extract, tintrod::Failure::kTemplateCorrupt, kIntroduction});
}
