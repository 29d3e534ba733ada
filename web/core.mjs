// The core's interface: moves bytes into the WebAssembly core's in-memory
// file system, runs the core's passes there and hands back what they made.
// It knows no file format; the core does all the reading and writing.
import createCore from './tintrod-core.js';

const kModelFolder = '/model';
const kSlotsFolder = '/slots';
const kPreparedFolder = '/prepared';
const kModelName = 'cueTemplate.obp';
const kOutputName = 'cueNew.obp';
const kReadBackFolder = '/read-back';

// A picker or a drop never gives a name with a slash; anything that could
// still step out of its folder is renamed.
function safeName(name) {
  return !name || name === '.' || name === '..' || name.includes('/') ? 'picture' : name;
}

export class Core {
  constructor(module, printed) {
    this.module = module;
    this.printed = printed;
    for (const folder of [kModelFolder, kSlotsFolder, kPreparedFolder, kReadBackFolder]) {
      module.FS.mkdir(folder);
    }
    this.slotList = module.skinSlots();
    for (const slot of this.slotList) module.FS.mkdir(`${kSlotsFolder}/${slot.argument}`);
  }

  // The nine slots in command-line order: argument, texture, part (its plain
  // name), width, height.
  slots() {
    return this.slotList;
  }

  // The slot (0 to 8) a picture's file name stands for, or -1.
  slotNamed(fileName) {
    return this.module.slotNamed(fileName);
  }

  // The bundled sample's model and nine bitmaps: {model, bitmaps: [{name, bytes}]}.
  sample() {
    return this.module.sampleFiles();
  }

  // Puts the model in place and lists its textures: {textures: [{name,
  // width, height, slot, levels: [{width, height, rgba}]}]} or {failure, advice}.
  openModel(bytes) {
    this.removeIfPresent(`${kModelFolder}/${kOutputName}`);
    this.module.FS.writeFile(`${kModelFolder}/${kModelName}`, bytes);
    return this.module.listTextures(kModelFolder);
  }

  // Takes a picture for the slot at `index`: {bitmapPath, prepared, blocky,
  // pictureWidth, pictureHeight, levels} or {failure, advice, inPictureFormat}. The bitmap stays in place for the next skin. `background`
  // is 0xRRGGBB, behind transparent parts and padding.
  useSlotPicture(index, name, bytes, { fit = 0, dither = false, background = 0 } = {}) {
    const folder = `${kSlotsFolder}/${this.slotList[index].argument}`;
    for (const entry of this.module.FS.readdir(folder)) {
      if (entry !== '.' && entry !== '..') this.module.FS.unlink(`${folder}/${entry}`);
    }
    const fileName = safeName(name);
    this.module.FS.writeFile(`${folder}/${fileName}`, bytes);
    const prepared = `${kPreparedFolder}/${this.slotList[index].argument}.bmp`;
    this.removeIfPresent(prepared);
    return this.module.useSlotPicture(index, folder, fileName, prepared, fit, dither, background);
  }

  // The failure for a picture the browser could not read, by the name of the
  // error reading it gave: {failure, advice, inPictureFormat}, as the command
  // line says it of a file it cannot read.
  pictureRefused(name, errorName) {
    return this.module.pictureRefused(name, errorName);
  }

  // Runs the skinning pass on the model with the nine bitmaps, in order:
  // {lines, status, advice, output, textures} where lines are what the command line
  // prints, output the bytes of cueNew.obp and textures its textures as
  // openModel lists them (both null when the run failed).
  skin(bitmapPaths) {
    const outputPath = `${kModelFolder}/${kOutputName}`;
    this.removeIfPresent(outputPath);
    this.printed.length = 0;
    const result = this.module.skin(kModelFolder, bitmapPaths.join('\n'));
    const lines = [...this.printed];
    if (result.failure !== undefined) lines.push(result.failure);
    const output = result.status === 0 ? this.module.FS.readFile(outputPath) : null;
    return { lines, status: result.status, advice: result.advice, output,
      textures: output && this.readBack(output) };
  }

  // What the skinned model holds, read from its bytes as a model is.
  readBack(bytes) {
    this.module.FS.writeFile(`${kReadBackFolder}/${kModelName}`, bytes);
    const listing = this.module.listTextures(kReadBackFolder);
    return listing.textures ?? null;
  }

  removeIfPresent(path) {
    try {
      this.module.FS.unlink(path);
    } catch {
      // Nothing stood there.
    }
  }
}

export async function loadCore() {
  const printed = [];
  const module = await createCore({
    print: (line) => printed.push(line),
    printErr: (line) => console.warn(line),
  });
  return new Core(module, printed);
}
