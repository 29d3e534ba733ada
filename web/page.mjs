// The page: reads the files the user picks or drops, hands them to the core
// and draws what comes back. No file format is understood here.
import { loadCore } from './core.mjs';

const kPreviewSize = 128;  // CSS pixels of level 0's longer side, at least
const kLevelNames = ['level 0', 'level 1', 'level 2'];

const state = {
  core: null,
  modelReady: false,
  slots: [],  // per slot: {file, bitmapPath, failure}
  downloadUrl: null,
};

const $ = (selector, root = document) => root.querySelector(selector);

// Draws a level at its own size; CSS scales it by a whole factor, unsmoothed.
function levelCanvas(level, index, scale, label) {
  const canvas = document.createElement('canvas');
  canvas.width = level.width;
  canvas.height = level.height;
  canvas.style.width = `${level.width * scale}px`;
  canvas.style.height = `${level.height * scale}px`;
  canvas.setAttribute('role', 'img');
  canvas.setAttribute('aria-label', label);
  canvas.dataset.level = String(index);
  const pixels = new ImageData(new Uint8ClampedArray(level.rgba.buffer, level.rgba.byteOffset,
    level.rgba.byteLength), level.width, level.height);
  canvas.getContext('2d').putImageData(pixels, 0, 0);
  return canvas;
}

// Every level at level 0's whole-number scale, so the sizes compare.
function drawLevels(container, levels, name) {
  container.replaceChildren();
  if (levels.length === 0) return;
  const scale = Math.max(1, Math.floor(kPreviewSize / Math.max(levels[0].width, levels[0].height)));
  levels.forEach((level, index) => {
    const figure = document.createElement('figure');
    const canvas = levelCanvas(level, index, scale, `${name}, ${kLevelNames[index]}`);
    const caption = document.createElement('figcaption');
    caption.textContent = `${kLevelNames[index]}: ${level.width}×${level.height}`;
    figure.append(canvas, caption);
    container.append(figure);
  });
}

function setMessages(lines) {
  $('[data-role="messages"]').textContent = lines.join('\n');
}

function resetDownload() {
  const link = $('[data-role="download"]');
  if (state.downloadUrl) URL.revokeObjectURL(state.downloadUrl);
  state.downloadUrl = null;
  link.removeAttribute('href');
  link.setAttribute('aria-disabled', 'true');
}

function updateSkinButton() {
  const ready = state.modelReady && state.slots.every((slot) => slot.bitmapPath && !slot.failure);
  $('[data-role="skin"]').disabled = !ready;
}

// Marks the start of a step; the measure ends once its drawing is on screen.
function timeStep(name) {
  performance.mark(`${name}-start`);
  return () => requestAnimationFrame(() => performance.measure(name, `${name}-start`));
}

// The picture decoded by the browser, as PNG bytes; null when it cannot.
async function browserPng(file) {
  try {
    const bitmap = await createImageBitmap(file,
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const canvas = document.createElement('canvas');
    canvas.width = bitmap.width;
    canvas.height = bitmap.height;
    canvas.getContext('2d').drawImage(bitmap, 0, 0);
    bitmap.close();
    const blob = await new Promise((done) => canvas.toBlob(done, 'image/png'));
    return blob ? new Uint8Array(await blob.arrayBuffer()) : null;
  } catch {
    return null;
  }
}

async function openModel(file) {
  const done = timeStep('open-model');
  resetDownload();
  const status = $('[data-role="model-status"]');
  const table = $('#texture-table');
  const result = state.core.openModel(new Uint8Array(await file.arrayBuffer()));
  const body = $('tbody', table);
  body.replaceChildren();
  state.modelReady = result.failure === undefined;
  if (!state.modelReady) {
    status.textContent = result.failure;
    status.classList.add('failure');
    table.hidden = true;
  } else {
    status.textContent = `${file.name}: ${result.textures.length} textures`;
    status.classList.remove('failure');
    result.textures.forEach((texture, index) => {
      const row = body.insertRow();
      row.dataset.texture = texture.name;
      const size = `${texture.width} × ${texture.height}`;
      for (const text of [String(index), texture.name, size, texture.slot || '-']) {
        row.insertCell().textContent = text;
      }
      const levels = row.insertCell();
      levels.className = 'levels';
      drawLevels(levels, texture.levels, texture.name);
    });
    table.hidden = false;
  }
  updateSkinButton();
  done();
}

async function useSlotPicture(index) {
  const slot = state.slots[index];
  if (!slot.file) return;
  resetDownload();
  const element = slot.element;
  const options = {
    fit: Number($('.fit', element).value),
    dither: $('.dither', element).checked,
  };
  let result = state.core.useSlotPicture(index, slot.file.name,
    new Uint8Array(await slot.file.arrayBuffer()), options);
  if (result.failure !== undefined && result.failure.startsWith("can't decode picture")) {
    // A format the core does not read (WebP, say) may still be one the
    // browser does: the browser decodes it and hands the core a PNG.
    const png = await browserPng(slot.file);
    if (png) result = state.core.useSlotPicture(index, slot.file.name, png, options);
  }
  const status = $('.slot-status', element);
  if (result.failure !== undefined) {
    slot.failure = result.failure;
    slot.bitmapPath = null;
    status.textContent = result.failure;
    status.classList.add('failure');
    $('.levels', element).replaceChildren();
  } else {
    slot.failure = null;
    slot.bitmapPath = result.bitmapPath;
    status.textContent = `${slot.file.name}: ${result.prepared ? 'prepared' : 'used as it is'}`;
    status.classList.remove('failure');
    drawLevels($('.levels', element), result.levels, state.core.slots()[index].argument);
  }
  updateSkinButton();
}

function skin() {
  resetDownload();
  if ($('[data-role="skin"]').disabled) return;
  const done = timeStep('skin');
  const result = state.core.skin(state.slots.map((slot) => slot.bitmapPath));
  setMessages(result.lines);
  if (result.status === 0) {
    const link = $('[data-role="download"]');
    state.downloadUrl = URL.createObjectURL(new Blob([result.output],
      { type: 'application/octet-stream' }));
    link.href = state.downloadUrl;
    link.removeAttribute('aria-disabled');
  }
  done();
}

// A picker and a drop onto the zone do the same.
function acceptFiles(zone, input, take) {
  input.addEventListener('change', () => {
    if (input.files.length > 0) take(input.files[0]);
  });
  zone.addEventListener('dragover', (event) => {
    event.preventDefault();
    zone.classList.add('dragging');
  });
  zone.addEventListener('dragleave', () => zone.classList.remove('dragging'));
  zone.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.classList.remove('dragging');
    if (event.dataTransfer.files.length > 0) take(event.dataTransfer.files[0]);
  });
}

function buildSlots() {
  const template = $('#slot-template');
  const container = $('#slots');
  state.core.slots().forEach((slot, index) => {
    const element = template.content.firstElementChild.cloneNode(true);
    $('.slot-argument', element).textContent = slot.argument;
    $('.slot-texture', element).textContent = slot.texture;
    $('.slot-size', element).textContent = `${slot.width} × ${slot.height}`;
    const input = $('input[type="file"]', element);
    input.dataset.slot = slot.argument;
    $('.file-text', element).textContent = `Picture for ${slot.argument}, or drop it here`;
    element.dataset.slotCard = slot.argument;
    state.slots.push({ element, file: null, bitmapPath: null, failure: null });
    acceptFiles(element, input, (file) => {
      state.slots[index].file = file;
      useSlotPicture(index);
    });
    for (const control of [$('.fit', element), $('.dither', element)]) {
      control.addEventListener('change', () => useSlotPicture(index));
    }
    container.append(element);
  });
}

async function start() {
  state.core = await loadCore();
  buildSlots();
  acceptFiles($('#model-section'), $('[data-role="model"]'), openModel);
  $('[data-role="skin"]').addEventListener('click', skin);
  document.body.dataset.ready = 'true';
}

start();
