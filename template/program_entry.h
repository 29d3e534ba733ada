// The process entry shared by tintrod and tintrod-extract.
#pragma once

#include <span>
#include <string>

namespace tintrod {

class ChunkTableReader;

// One pass of a program over its arguments (the program name excluded), with
// the process-wide reader; returns the exit status of a completed pass.
using ProgramPass = int (*)(std::span<const std::string> arguments, ChunkTableReader& reader);

// Runs `pass` with the process's arguments and its one reader.
int runProgram(int argc, char** argv, ProgramPass pass);

}  // namespace tintrod
