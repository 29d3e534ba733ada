// The page: hands the files the user picks or drops to the core, which runs
// in a worker, and draws what comes back. No file format is understood here.

const kPreviewSize = 128;  // CSS pixels of level 0's longer side, at least
const kLevelNames = ['level 0', 'level 1', 'level 2'];
const kModelEnding = '.obp';  // as the model picker's accept attribute

// The drawing: a two-piece cue, shaft above and butt below, from tip to
// bumper; each part's share of its row's length.
const kCueRows = [
  [['tip', 3], ['ferrulebmp', 6], ['shaftbmp', 75], ['connectbmp', 16]],
  [['pointbmp1', 17], ['pointbmp2', 17], ['pointbmp3', 17], ['wrapbmp', 24], ['buttbmp', 17],
    ['bumperbmp', 8]],
];

const state = {
  worker: null,
  calls: new Map(),  // message id -> {resolve, reject}
  nextCall: 0,
  slots: [],  // per slot: what the core says of it, its card and its picture
  model: { file: null, ready: false, generation: 0, levels: new Map() },
  changes: 0,  // counts every change of the model or of a picture
  downloadUrl: null,
};

const $ = (selector, root = document) => root.querySelector(selector);

// The worker's script is inside the page, so that the page opened from disk
// starts it too.
function startWorker() {
  const source = $('#worker-source').textContent;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  // The URL stays: a browser may fetch the script after this call returns.
  const worker = new Worker(url);
  worker.onmessage = ({ data }) => {
    const call = state.calls.get(data.id);
    state.calls.delete(data.id);
    if (data.error !== undefined) call.reject(new Error(data.error));
    else call.resolve(data.result);
  };
  return worker;
}

function call(step, fields = {}) {
  const id = state.nextCall++;
  return new Promise((resolve, reject) => {
    state.calls.set(id, { resolve, reject });
    state.worker.postMessage({ id, step, ...fields });
  });
}

// Draws a level at its own size; CSS scales it by a whole factor, unsmoothed.
function levelCanvas(level, scale, label) {
  const canvas = document.createElement('canvas');
  canvas.width = level.width;
  canvas.height = level.height;
  if (scale) {
    canvas.style.width = `${level.width * scale}px`;
    canvas.style.height = `${level.height * scale}px`;
  }
  canvas.setAttribute('role', 'img');
  canvas.setAttribute('aria-label', label);
  const pixels = new ImageData(new Uint8ClampedArray(level.rgba.buffer, level.rgba.byteOffset,
    level.rgba.byteLength), level.width, level.height);
  canvas.getContext('2d').putImageData(pixels, 0, 0);
  return canvas;
}

// Every level at level 0's whole-number scale, so the sizes compare.
function drawLevels(container, levels, name) {
  container.replaceChildren();
  if (!levels || levels.length === 0) return;
  const scale = Math.max(1, Math.floor(kPreviewSize / Math.max(levels[0].width, levels[0].height)));
  levels.forEach((level, index) => {
    const figure = document.createElement('figure');
    const canvas = levelCanvas(level, scale, `${name}, ${kLevelNames[index]}`);
    canvas.dataset.level = String(index);
    const caption = document.createElement('figcaption');
    caption.textContent = `${kLevelNames[index]}: ${level.width}×${level.height}`;
    figure.append(canvas, caption);
    container.append(figure);
  });
}

// The part in the drawing wears the slot's texture: its own picture once it
// has one, else what the model holds.
function paintPart(index) {
  const slot = state.slots[index];
  const levels = slot.levels ?? state.model.levels.get(slot.argument);
  const swatch = $(`[data-part="${slot.argument}"] .swatch`);
  const wear = (url) => {
    if (slot.swatchUrl) URL.revokeObjectURL(slot.swatchUrl);
    slot.swatchUrl = url;
    swatch.style.backgroundImage = url ? `url("${url}")` : '';
  };
  const painting = ++slot.paintings;
  if (!levels) {
    wear(null);
    return;
  }
  // The old texture stays on until the new one is ready, so nothing flickers.
  levelCanvas(levels[0], 0, '').toBlob((blob) => {
    if (blob && slot.paintings === painting) wear(URL.createObjectURL(blob));
  });
}

// Marks the start of a step; the measure ends once its drawing is on screen.
function timeStep(name) {
  performance.mark(`${name}-start`);
  return () => requestAnimationFrame(() => performance.measure(name, `${name}-start`));
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
  $('[data-role="result-note"]').hidden = true;
}

// Any change of the model or a picture: what the last run said no longer holds.
function changed() {
  state.changes += 1;
  resetDownload();
  setMessages([]);
}

function link(text, target) {
  const anchor = document.createElement('a');
  anchor.href = `#${target}`;
  anchor.textContent = text;
  return anchor;
}

// What still stands between the user and Skin: [words, [[name, id of where
// to fix it]]], one entry for the model and one for each kind of slot.
function blockers() {
  const list = [];
  if (!state.model.ready) {
    list.push([state.model.file ? 'The model cannot be used: ' : '',
      [[state.model.file ? 'pick another' : 'Pick a cue model', 'model-input']]]);
  }
  const kinds = [['empty', 'Still without a picture: '],
    ['error', 'A picture that cannot be used: '], ['working', 'Still being prepared: ']];
  for (const [kind, words] of kinds) {
    const slots = state.slots.filter((entry) => entry.state === kind);
    if (slots.length > 0) list.push([words, slots.map((slot) => [slot.part, slot.card.id])]);
  }
  return list;
}

function updateStatus() {
  const list = blockers();
  $('[data-role="skin"]').disabled = list.length > 0;
  const status = $('[data-role="status"]');
  if (list.length === 0) {
    const paragraph = document.createElement('p');
    paragraph.textContent = state.downloadUrl ? 'Skinned.' : 'Ready: press Skin.';
    status.replaceChildren(paragraph);
    return;
  }
  const heading = document.createElement('p');
  heading.textContent = 'Before you can skin:';
  const items = document.createElement('ul');
  for (const [words, places] of list) {
    const item = document.createElement('li');
    item.append(words);
    places.forEach(([name, target], index) => {
      if (index > 0) item.append(', ');
      item.append(link(name, target));
    });
    items.append(item);
  }
  status.replaceChildren(heading, items);
}

function fillTextureTable(textures) {
  const body = $('#texture-table tbody');
  body.replaceChildren();
  textures.forEach((texture, index) => {
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
  $('#texture-table').hidden = textures.length === 0;
}

async function openModel(file) {
  const done = timeStep('open-model');
  changed();
  const model = state.model;
  model.file = file;
  model.ready = false;
  model.levels = new Map();
  const generation = ++model.generation;
  const status = $('[data-role="model-status"]');
  status.textContent = `Reading ${file.name}…`;
  $('#model-section').dataset.state = 'working';
  status.classList.remove('failure');
  fillTextureTable([]);
  state.slots.forEach((slot, index) => paintPart(index));
  updateStatus();
  const result = await call('openModel', { file })
    .catch((error) => ({ failure: `${file.name}: ${error.message}` }));
  if (generation !== model.generation) return;
  model.ready = result.failure === undefined;
  $('#model-section').dataset.state = model.ready ? 'ready' : 'error';
  if (!model.ready) {
    status.textContent = result.failure;
    status.classList.add('failure');
  } else {
    status.textContent = `${file.name}: ${result.textures.length} textures`;
    for (const texture of result.textures) {
      if (texture.slot && !model.levels.has(texture.slot)) {
        model.levels.set(texture.slot, texture.levels);
      }
    }
    fillTextureTable(result.textures);
    state.slots.forEach((slot, index) => paintPart(index));
  }
  updateStatus();
  saveState();
  done();
}

function setCard(slot, cardState, text, failed = false) {
  slot.state = cardState;
  slot.card.dataset.state = cardState;
  const status = $('.slot-status', slot.card);
  status.textContent = text;
  status.classList.toggle('failure', failed);
}

async function prepareSlot(index) {
  const slot = state.slots[index];
  changed();
  const generation = ++slot.generation;
  slot.bitmapPath = null;
  slot.levels = null;
  if (!slot.file) {
    setCard(slot, 'empty', '');
    $('.levels', slot.card).replaceChildren();
    paintPart(index);
    updateStatus();
    saveState();
    return;
  }
  setCard(slot, 'working', `Preparing ${slot.file.name}…`);
  updateStatus();
  saveState();
  const result = await call('usePicture', {
    index,
    file: slot.file,
    fit: Number($('.fit', slot.card).value),
    dither: $('.dither', slot.card).checked,
  }).catch((error) => ({ failure: `${slot.file.name}: ${error.message}` }));
  if (generation !== slot.generation) return;
  if (result.failure !== undefined) {
    setCard(slot, 'error', result.failure, true);
    $('.levels', slot.card).replaceChildren();
  } else {
    slot.bitmapPath = result.bitmapPath;
    slot.levels = result.levels;
    setCard(slot, 'ready', `${slot.file.name}: ${result.prepared ? 'prepared' : 'used as it is'}`);
    drawLevels($('.levels', slot.card), result.levels, slot.part);
  }
  paintPart(index);
  updateStatus();
}

function givePicture(index, file) {
  state.slots[index].file = file;
  prepareSlot(index);
}

// The skinned model's own textures, read back from its bytes, on the cards
// and in the drawing.
function showReadBack(textures) {
  for (const texture of textures ?? []) {
    const index = state.slots.findIndex((slot) => slot.argument === texture.slot);
    if (index < 0) continue;
    const slot = state.slots[index];
    slot.levels = texture.levels;
    drawLevels($('.levels', slot.card), texture.levels, slot.part);
    paintPart(index);
  }
}

async function skin() {
  if (blockers().length > 0) return;
  resetDownload();
  const done = timeStep('skin');
  const before = state.changes;
  $('[data-role="skin"]').disabled = true;
  $('[data-role="status"]').textContent = 'Skinning…';
  const result = await call('skin', { bitmapPaths: state.slots.map((slot) => slot.bitmapPath) });
  if (before !== state.changes) return;
  setMessages(result.lines);
  if (result.status === 0) {
    const anchor = $('[data-role="download"]');
    state.downloadUrl = URL.createObjectURL(new Blob([result.output],
      { type: 'application/octet-stream' }));
    anchor.href = state.downloadUrl;
    anchor.removeAttribute('aria-disabled');
    $('[data-role="result-note"]').hidden = false;
    showReadBack(result.textures);
  }
  updateStatus();
  done();
}

// Several pictures at once: each named after a slot goes there, the rest to
// the slots still without a picture, in order. Says which went where.
async function distribute(files) {
  const models = files.filter((file) => file.name.toLowerCase().endsWith(kModelEnding));
  const pictures = files.filter((file) => !models.includes(file));
  const lines = [];
  if (models.length > 0) {
    openModel(models[0]);
    lines.push(`${models[0].name} → the cue model`);
  }
  const named = await call('slotsNamed', { names: pictures.map((file) => file.name) });
  const chosen = new Map();  // slot index -> file
  const rest = [];
  pictures.forEach((file, order) => {
    if (named[order] >= 0 && !chosen.has(named[order])) chosen.set(named[order], file);
    else rest.push(file);
  });
  const free = state.slots.map((slot, index) => index)
    .filter((index) => !chosen.has(index) && !state.slots[index].file);
  for (const file of rest) {
    if (free.length === 0) {
      lines.push(`${file.name} not used: every part has a picture`);
    } else {
      chosen.set(free.shift(), file);
    }
  }
  for (const [index, file] of [...chosen].sort((a, b) => a[0] - b[0])) {
    lines.push(`${file.name} → ${state.slots[index].part}`);
    givePicture(index, file);
  }
  $('[data-role="drop-report"]').textContent = lines.join('; ');
}

// A drop anywhere is the page's: one picture dropped on a slot goes to that
// slot, one model anywhere is the model, anything else is shared out by name.
function handleDrops() {
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    const zone = event.target.closest?.('.drop-zone');
    for (const other of document.querySelectorAll('.dragging')) {
      if (other !== zone) other.classList.remove('dragging');
    }
    zone?.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) {
      for (const zone of document.querySelectorAll('.dragging')) zone.classList.remove('dragging');
    }
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    for (const zone of document.querySelectorAll('.dragging')) zone.classList.remove('dragging');
    const files = [...(event.dataTransfer?.files ?? [])];
    if (files.length === 0) return;
    const card = event.target.closest?.('[data-slot-card]');
    const isModel = files[0].name.toLowerCase().endsWith(kModelEnding);
    if (files.length === 1 && isModel) {
      openModel(files[0]);
    } else if (files.length === 1 && card) {
      givePicture(state.slots.findIndex((slot) => slot.card === card), files[0]);
    } else {
      distribute(files);
    }
  });
}

async function trySample() {
  const sample = await call('sample');
  const model = new File([sample.model], 'cueTemplate.obp');
  openModel(model);
  sample.bitmaps.forEach((bitmap, index) =>
    givePicture(index, new File([bitmap.bytes], bitmap.name)));
  $('[data-role="drop-report"]').textContent =
    'The sample model and its nine pictures are in place.';
}

function clearSlot(index) {
  const slot = state.slots[index];
  slot.file = null;
  $('input[type="file"]', slot.card).value = '';
  prepareSlot(index);
}

function buildCard(slot, index) {
  const card = $('#slot-template').content.firstElementChild.cloneNode(true);
  card.id = `slot-${slot.argument}`;
  card.dataset.slotCard = slot.argument;
  card.setAttribute('aria-labelledby', `${card.id}-part`);
  const heading = $('.slot-part', card);
  heading.id = `${card.id}-part`;
  heading.textContent = slot.part[0].toUpperCase() + slot.part.slice(1);
  $('.slot-argument', card).textContent = slot.argument;
  $('.slot-texture', card).textContent = slot.texture;
  $('.slot-size', card).textContent = `${slot.width} × ${slot.height}`;
  $('.file-text', card).textContent = `Picture for the ${slot.part}`;
  const input = $('input[type="file"]', card);
  input.dataset.slot = slot.argument;
  input.addEventListener('change', () => {
    if (input.files.length > 0) givePicture(index, input.files[0]);
  });
  for (const control of [$('.fit', card), $('.dither', card)]) {
    control.addEventListener('change', () => prepareSlot(index));
  }
  const clear = $('[data-role="clear"]', card);
  clear.setAttribute('aria-label', `Clear the ${slot.part}'s picture`);
  clear.addEventListener('click', () => clearSlot(index));
  return card;
}

function buildDiagram() {
  const diagram = $('[data-role="diagram"]');
  for (const row of kCueRows) {
    const piece = document.createElement('div');
    piece.className = 'cue-piece';
    for (const [argument, share] of row) {
      const slot = state.slots.find((entry) => entry.argument === argument);
      const part = document.createElement(slot ? 'button' : 'span');
      part.className = `part part-${argument}`;
      part.style.flexGrow = String(share);
      const swatch = document.createElement('span');
      swatch.className = 'swatch';
      const name = document.createElement('span');
      name.className = 'part-name';
      name.textContent = slot ? slot.part : argument;
      part.append(swatch, name);
      if (slot) {
        part.type = 'button';
        part.dataset.part = argument;
        part.setAttribute('aria-label', `${slot.part}: go to its picture`);
        part.addEventListener('click', () => {
          slot.card.scrollIntoView({ block: 'center' });
          $('input[type="file"]', slot.card).focus({ preventScroll: true });
        });
      }
      piece.append(part);
    }
    diagram.append(piece);
  }
}

// The model and the nine pictures with their choices stay in this browser
// (never sent anywhere), so a reload finds them again.
const kStoreName = 'tintrod-page';

function openStore() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(kStoreName, 1);
    request.onupgradeneeded = () => request.result.createObjectStore('work');
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

async function storeAccess(mode, action) {
  try {
    const database = await openStore();
    const transaction = database.transaction('work', mode);
    const request = action(transaction.objectStore('work'));
    const result = await new Promise((resolve, reject) => {
      transaction.oncomplete = () => resolve(request?.result);
      transaction.onerror = () => reject(transaction.error);
    });
    database.close();
    return result;
  } catch {
    return undefined;  // a browser that keeps nothing still has a working page
  }
}

// Saves run one after another, each of the page as it then is.
let saving = Promise.resolve();

function saveState() {
  saving = saving.then(() => storeAccess('readwrite', (store) => store.put(currentWork(), 'work')));
}

function currentWork() {
  return {
    model: state.model.file,
    pictures: state.slots.map((slot) => ({
      file: slot.file,
      fit: $('.fit', slot.card).value,
      dither: $('.dither', slot.card).checked,
    })),
  };
}

// A file as the store gives it back may be readable only on this thread
// (Firefox): the page keeps a copy in memory.
async function inMemory(file) {
  try {
    return file && new File([await file.arrayBuffer()], file.name);
  } catch {
    return null;
  }
}

async function restoreState() {
  const work = await storeAccess('readonly', (store) => store.get('work'));
  if (!work) return;
  work.model = await inMemory(work.model);
  for (const picture of work.pictures) picture.file = await inMemory(picture.file);
  if (work.model) openModel(work.model);
  work.pictures.forEach((picture, index) => {
    const slot = state.slots[index];
    if (!slot) return;
    $('.fit', slot.card).value = picture.fit;
    $('.dither', slot.card).checked = picture.dither;
    if (picture.file) givePicture(index, picture.file);
  });
}

function startOver() {
  changed();
  state.model.file = null;
  state.model.ready = false;
  state.model.levels = new Map();
  state.model.generation += 1;
  $('[data-role="model"]').value = '';
  $('[data-role="model-status"]').textContent = '';
  delete $('#model-section').dataset.state;
  $('[data-role="drop-report"]').textContent = '';
  fillTextureTable([]);
  state.slots.forEach((slot, index) => {
    $('.fit', slot.card).value = '1';
    $('.dither', slot.card).checked = false;
    clearSlot(index);
  });
}

async function start() {
  state.worker = startWorker();
  const slots = await call('slots');
  const container = $('#slots');
  slots.forEach((slot, index) => {
    const entry = { ...slot, file: null, bitmapPath: null, levels: null, state: 'empty',
      generation: 0, swatchUrl: null, paintings: 0 };
    state.slots.push(entry);
    entry.card = buildCard(slot, index);
    container.append(entry.card);
  });
  buildDiagram();
  handleDrops();
  const modelInput = $('[data-role="model"]');
  modelInput.addEventListener('change', () => {
    if (modelInput.files.length > 0) openModel(modelInput.files[0]);
  });
  $('[data-role="skin"]').addEventListener('click', skin);
  $('[data-role="sample"]').addEventListener('click', trySample);
  $('[data-role="start-over"]').addEventListener('click', startOver);
  updateStatus();
  await restoreState();
  document.body.dataset.ready = 'true';
}

start();
