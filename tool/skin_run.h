#pragma once

#include <span>
#include <string>

#include "template/texture_table.h"

namespace tintrod {

class ChunkTableReader;

// The whole pass: checks the command line, validates the nine bitmaps, reads
// the template's texture table, applies the nine slots and writes
// "cueNew.obp". `arguments` excludes the program name. Returns the exit status
// of a completed run; every failure ends the process itself.
int runSkinning(std::span<const std::string> arguments, ChunkTableReader& reader);

// Replaces the first texture named `textureName` with the bitmap at `path`
// and rebuilds its two smaller levels.
void applySlot(const TextureTable& table, const char* textureName, const std::string& path);

}  // namespace tintrod
