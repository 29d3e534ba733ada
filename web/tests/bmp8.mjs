// An independent reading of the plain 8-bit BMP files tintrod-extract writes,
// as the expected pixels of the page's canvases: red, green, blue, alpha,
// rows top to bottom. Only what such a file holds is understood.
import { readFileSync } from 'node:fs';

export function readBmp8(path) {
  const file = readFileSync(path);
  const pixelStart = file.readUInt32LE(10);
  const headerSize = file.readUInt32LE(14);
  const width = file.readInt32LE(18);
  const height = file.readInt32LE(22);
  if (file.readUInt16LE(28) !== 8 || file.readUInt32LE(30) !== 0 || height <= 0) {
    throw new Error(`${path}: not a plain bottom-up 8-bit BMP`);
  }
  const colours = file.readUInt32LE(46) || 256;
  const palette = 14 + headerSize;
  const stride = (width + 3) & ~3;
  const rgba = new Uint8Array(width * height * 4);
  for (let row = 0; row < height; row++) {
    const source = pixelStart + row * stride;
    const target = (height - 1 - row) * width * 4;
    for (let column = 0; column < width; column++) {
      const index = file[source + column];
      if (index >= colours) throw new Error(`${path}: index past the colour table`);
      const entry = palette + 4 * index;  // blue, green, red, reserved
      rgba.set([file[entry + 2], file[entry + 1], file[entry], 255], target + 4 * column);
    }
  }
  return { width, height, rgba };
}
