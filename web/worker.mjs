// The page's worker: it holds the core and runs every step that can take a
// while (reading a model, decoding and preparing a picture, skinning), so the
// page never waits on one. Each message names a step; the reply carries the
// step's result under the message's id.
import { loadCore } from './core.mjs';

const corePromise = loadCore();

// A format the core does not read (AVIF, say) may still be one the browser
// does: the browser decodes it and hands the core a PNG.
async function browserPng(file) {
  try {
    const bitmap = await createImageBitmap(file,
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    canvas.getContext('2d').drawImage(bitmap, 0, 0);
    bitmap.close();
    const png = await canvas.convertToBlob({ type: 'image/png' });
    return new Uint8Array(await png.arrayBuffer());
  } catch {
    return null;
  }
}

async function usePicture(core, { index, file, fit, dither }) {
  const options = { fit, dither };
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    // Gone from the disk since it was chosen, or more than the tab can hold:
    // the core says it as the command line says it of such a file.
    return core.pictureRefused(file.name, error?.name ?? '');
  }
  let result = core.useSlotPicture(index, file.name, bytes, options);
  // Only a file in none of the core's formats: a damaged one stays refused,
  // as the command line refuses it.
  if (result.failure !== undefined && result.inPictureFormat === false) {
    const png = await browserPng(file);
    if (png) result = core.useSlotPicture(index, file.name, png, options);
  }
  return result;
}

// Steps that change the core's files run one after another, so a slow one
// never interleaves with the next; the others answer at once.
const queuedSteps = {
  openModel: async (core, { file }) => core.openModel(new Uint8Array(await file.arrayBuffer())),
  usePicture,
  skin: (core, { bitmapPaths }) => core.skin(bitmapPaths),
};
// A level as a PNG for the drawing's parts to wear, encoded here so that
// the page's thread never waits on it.
async function swatch(core, { level }) {
  const canvas = new OffscreenCanvas(level.width, level.height);
  const pixels = new Uint8ClampedArray(level.rgba.buffer, level.rgba.byteOffset,
    level.rgba.byteLength);
  canvas.getContext('2d').putImageData(new ImageData(pixels, level.width, level.height), 0, 0);
  return canvas.convertToBlob({ type: 'image/png' });
}

const immediateSteps = {
  swatch,
  slots: (core) => core.slots(),
  slotsNamed: (core, { names }) => names.map((name) => core.slotNamed(name)),
  sample: (core) => core.sample(),
};

async function answer(message) {
  try {
    const core = await corePromise;
    const step = queuedSteps[message.step] ?? immediateSteps[message.step];
    self.postMessage({ id: message.id, result: await step(core, message) });
  } catch (error) {
    self.postMessage({ id: message.id, error: String(error) });
  }
}

let queue = Promise.resolve();
self.onmessage = ({ data }) => {
  if (data.step in queuedSteps) {
    queue = queue.then(() => answer(data));
  } else {
    answer(data);
  }
};
