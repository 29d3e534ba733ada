#include "template/program_entry.h"
#include "tool/skin_run.h"

int main(int argc, char** argv) { return tintrod::runProgram(argc, argv, tintrod::runSkinning); }
