#include "extract/extract_run.h"
#include "template/program_entry.h"

int main(int argc, char** argv) { return tintrod::runProgram(argc, argv, tintrod::runExtract); }
