// The shape a texture table must have before anything is built from it or
// written back over it.
#pragma once

namespace tintrod {

class ChunkTableReader;

// True when the table last read by `reader` is empty, or has the six texture
// columns (35 leading bytes, a 768-byte palette, a variable pixel column)
// with every record's pixel data exactly pixelBlockLength(width, height)
// bytes, all of it inside the chunk, and every name terminated in its slot.
bool hasTextureTableShape(const ChunkTableReader& reader);

}  // namespace tintrod
