// The page: hands the files the user picks or drops to the core, which runs
// in a worker, and draws what comes back. No file format is understood here.

const kPreviewSize = 128;  // CSS pixels of level 0's longer side, at least
const kLevelNames = ['level 0', 'level 1', 'level 2'];
const kModelEnding = '.obp';  // as the model picker's accept attribute
// What the picture pickers offer, and the words for it; a format the core
// learns to read is added here.
const kPictureAccept = 'image/*,.bmp,.webp,.heic,.heif';
const kPictureKinds = 'JPEG, HEIC, PNG, WebP, BMP, GIF or TGA';

// The drawing: the cue as it lies, from tip to bumper, each part's share of
// its length. The tip wears no picture. The cards follow the same order.
const kCueParts = [['tip', 2], ['ferrulebmp', 5], ['shaftbmp', 44], ['connectbmp', 8],
  ['pointbmp1', 8], ['pointbmp2', 8], ['pointbmp3', 8], ['wrapbmp', 14], ['buttbmp', 9],
  ['bumperbmp', 3]];

const state = {
  worker: null,
  calls: new Map(),  // message id -> {resolve, reject}
  nextCall: 0,
  slots: [],  // per slot: what the core says of it, its card and its picture
  model: { file: null, ready: false, reading: false, generation: 0, levels: new Map(),
    textures: [] },
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
    // Only the width: the height follows the canvas's own shape, also when
    // a narrow card shrinks it.
    canvas.style.width = `${level.width * scale}px`;
  }
  canvas.setAttribute('role', 'img');
  canvas.setAttribute('aria-label', label);
  const pixels = new ImageData(new Uint8ClampedArray(level.rgba.buffer, level.rgba.byteOffset,
    level.rgba.byteLength), level.width, level.height);
  canvas.getContext('2d').putImageData(pixels, 0, 0);
  return canvas;
}

function previewScale(levels) {
  return Math.max(1, Math.floor(kPreviewSize / Math.max(levels[0].width, levels[0].height)));
}

function levelFigure(level, index, scale, name, captioned = true) {
  const figure = document.createElement('figure');
  const canvas = levelCanvas(level, scale, `${name}, ${kLevelNames[index]}`);
  canvas.dataset.level = String(index);
  figure.append(canvas);
  if (captioned) {
    const caption = document.createElement('figcaption');
    caption.textContent = `${kLevelNames[index]}: ${level.width}×${level.height}`;
    figure.append(caption);
  }
  return figure;
}

// Every level at level 0's whole-number scale, so the sizes compare.
function drawLevels(container, levels, name) {
  container.replaceChildren();
  if (!levels || levels.length === 0) return;
  const scale = previewScale(levels);
  levels.forEach((level, index) => container.append(levelFigure(level, index, scale, name)));
}

// A card shows level 0 as the part will wear it; the smaller levels and the
// sizes wait in its details.
function drawCardLevels(slot, levels) {
  const preview = $('.preview', slot.card);
  const details = $('.levels', slot.card);
  preview.replaceChildren();
  details.replaceChildren();
  if (!levels || levels.length === 0) return;
  const scale = previewScale(levels);
  preview.append(levelFigure(levels[0], 0, scale, slot.part, false));
  levels.forEach((level, index) => {
    if (index > 0) details.append(levelFigure(level, index, scale, slot.part));
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
  // The worker encodes it, so the page's thread only points at the result.
  call('swatch', { level: levels[0] }).then((blob) => {
    if (slot.paintings === painting) wear(URL.createObjectURL(blob));
  }, () => {});
}

// Marks the start of a step; the measure ends once its drawing is on screen.
function timeStep(name) {
  performance.mark(`${name}-start`);
  return () => requestAnimationFrame(() => performance.measure(name, `${name}-start`));
}

function setMessages(lines) {
  $('[data-role="messages"]').textContent = lines.join('\n');
}

// Says how a step ended, once: the one live region of the page besides the
// cards' own lines.
function announce(text) {
  $('[data-role="outcome"]').textContent = text;
}

// A failure as a sentence that says what to do, with the tool's line below
// it as the detail.
function showFailure(element, advice, line) {
  const sentence = document.createElement('p');
  sentence.className = 'failure';
  sentence.textContent = advice;
  const detail = document.createElement('p');
  detail.className = 'tool-line';
  const code = document.createElement('code');
  code.textContent = line;
  detail.append(code);
  element.replaceChildren(sentence, detail);
}

// A step's answer for `file`: the core's line of a failure, the worker's
// error when the step itself failed, and for an empty file (a copy or a
// download that never finished) `emptyAdvice` as what to do.
async function answerFor(file, step, fields, emptyAdvice) {
  const result = await call(step, { file, ...fields }).catch((error) => ({
    failure: `${file.name}: ${error.message}`,
    advice: 'Something went wrong: the line below says what.' }));
  if (result.failure !== undefined && file.size === 0) result.advice = emptyAdvice;
  return result;
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
  announce('');
  if (table.source === kSkinnedTexturesNote) showTextures(state.model.textures, kModelTexturesNote);
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
  const model = state.model;
  if (model.reading) {
    list.push(['', [['The cue model is still being read', 'model-input']]]);
  } else if (!model.ready) {
    list.push([model.file ? 'The model cannot be used: ' : '',
      [[model.file ? 'pick another' : 'Pick a cue model', 'model-input']]]);
  }
  const kinds = [['empty', 'Still without a picture: '],
    ['error', 'A picture that cannot be used: '], ['working', 'Still being prepared: ']];
  for (const [kind, words] of kinds) {
    const slots = state.slots.filter((entry) => entry.state === kind);
    if (slots.length > 0) list.push([words, slots.map((slot) => [slot.part, slot.card.id])]);
  }
  return list;
}

// The status in a few words, for the bar that stays in view on a phone.
function summary() {
  const model = state.model;
  if (model.reading) return 'Reading the cue model…';
  if (!model.ready) return model.file ? 'The model cannot be used.' : 'Choose a cue model.';
  const count = (kind) => state.slots.filter((slot) => slot.state === kind).length;
  const parts = (number) => (number === 1 ? '1 part' : `${number} parts`);
  const words = [];
  if (count('empty') > 0) words.push(`${parts(count('empty'))} without a picture`);
  if (count('error') > 0) words.push(`${parts(count('error'))} with a picture that cannot be used`);
  if (count('working') > 0) words.push(`${parts(count('working'))} being prepared`);
  if (words.length > 0) return `${words.join(', ')}.`;
  return state.downloadUrl ? 'Skinned: download cueNew.obp.' : 'Ready: press Skin.';
}

function updateStatus() {
  const list = blockers();
  $('[data-role="skin"]').disabled = list.length > 0;
  $('[data-role="summary"]').textContent = summary();
  const status = $('[data-role="status"]');
  if (list.length === 0) {
    // Once skinned, the bar and the outcome below it say so; this says nothing more.
    const paragraph = document.createElement('p');
    paragraph.textContent = 'Ready: press Skin.';
    status.replaceChildren(...(state.downloadUrl ? [] : [paragraph]));
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

// The table lists the model's textures, or the skinned model's once there
// is one. Its pictures are drawn only while it is open, a row at a time, so
// a large model never holds the page up.
const table = { textures: [], source: '', drawn: false, filling: 0 };

function showTextures(textures, source) {
  table.textures = textures;
  table.source = source;
  table.drawn = false;
  fillTextureTable();
}

async function fillTextureTable() {
  const filling = ++table.filling;
  const body = $('#texture-table tbody');
  body.replaceChildren();
  delete $('#texture-table').dataset.drawn;
  $('#texture-table').hidden = table.textures.length === 0;
  $('[data-role="texture-source"]').textContent = table.source;
  const rows = table.textures.map((texture, index) => {
    const row = body.insertRow();
    row.dataset.texture = texture.name;
    const size = `${texture.width} × ${texture.height}`;
    for (const text of [String(index), texture.name, size, texture.slot || '-']) {
      row.insertCell().textContent = text;
    }
    const levels = row.insertCell();
    levels.className = 'levels';
    return levels;
  });
  if (!$('#texture-details').open) return;
  for (const [index, texture] of table.textures.entries()) {
    if (filling !== table.filling) return;
    drawLevels(rows[index], texture.levels, texture.name);
    await new Promise((resume) => setTimeout(resume));
  }
  if (filling !== table.filling) return;
  table.drawn = true;
  $('#texture-table').dataset.drawn = 'true';
}

const kModelTexturesNote = 'Every texture of the model with its two smaller levels; the slot '
  + 'column names the picture that replaces it.';
const kSkinnedTexturesNote = 'Every texture of the skinned model, cueNew.obp, as the game '
  + 'will read it, with its two smaller levels.';

const kEmptyModel = 'This file is empty: pick the game\'s cue model, a file ending in .obp such '
  + 'as cueTemplate.obp.';

async function openModel(file) {
  const done = timeStep('open-model');
  changed();
  const model = state.model;
  model.file = file;
  model.ready = false;
  model.reading = true;
  model.levels = new Map();
  model.textures = [];
  const generation = ++model.generation;
  $('[data-role="model-picked"]').textContent = file.name;
  const status = $('[data-role="model-status"]');
  status.textContent = `Reading ${file.name}…`;
  $('#model-section').dataset.state = 'working';
  showTextures([], kModelTexturesNote);
  state.slots.forEach((slot, index) => paintPart(index));
  updateStatus();
  const result = await answerFor(file, 'openModel', {}, kEmptyModel);
  if (generation !== model.generation) return;
  model.reading = false;
  model.ready = result.failure === undefined;
  $('#model-section').dataset.state = model.ready ? 'ready' : 'error';
  if (!model.ready) {
    showFailure(status, result.advice, result.failure);
    announce(result.advice);
  } else {
    status.textContent = `${file.name}: a cue model with ${result.textures.length} textures`;
    for (const texture of result.textures) {
      if (texture.slot && !model.levels.has(texture.slot)) {
        model.levels.set(texture.slot, texture.levels);
      }
    }
    model.textures = result.textures;
    showTextures(result.textures, kModelTexturesNote);
    state.slots.forEach((slot, index) => paintPart(index));
  }
  updateStatus();
  saveState();
  done();
}

function setCard(slot, cardState, text, warning = '') {
  slot.state = cardState;
  slot.card.dataset.state = cardState;
  $('.slot-status', slot.card).textContent = text;
  $('[data-role="warning"]', slot.card).textContent = warning;
}

const kEmptyPicture = 'This file is empty: pick a photo or a drawing.';

// What a card says of the picture it took.
function readyWords(slot, result) {
  if (!result.prepared) return ['Used as it is: an 8-bit BMP of the part\'s size.', ''];
  const words = `Prepared: scaled to ${slot.width} × ${slot.height} and reduced to 256 colours.`;
  if (!result.blocky) return [words, ''];
  return [words, `This picture is much smaller than the part (${result.pictureWidth} × `
    + `${result.pictureHeight} on ${slot.width} × ${slot.height}): it will look blocky. A larger `
    + 'picture looks sharper.'];
}

async function prepareSlot(index) {
  const slot = state.slots[index];
  changed();
  const generation = ++slot.generation;
  slot.bitmapPath = null;
  slot.levels = null;
  $('.picked', slot.card).textContent = slot.file ? slot.file.name : 'No picture yet';
  if (!slot.file) {
    setCard(slot, 'empty', '');
    drawCardLevels(slot, null);
    paintPart(index);
    updateStatus();
    saveState();
    return;
  }
  setCard(slot, 'working', `Preparing ${slot.file.name}…`);
  updateStatus();
  saveState();
  const file = slot.file;
  const result = await answerFor(file, 'usePicture', {
    index,
    fit: Number($('.fit', slot.card).value),
    dither: $('.dither', slot.card).checked,
  }, kEmptyPicture);
  if (generation !== slot.generation) return;
  if (result.failure !== undefined) {
    setCard(slot, 'error', '');
    showFailure($('.slot-status', slot.card), result.advice, result.failure);
    drawCardLevels(slot, null);
  } else {
    slot.bitmapPath = result.bitmapPath;
    slot.levels = result.levels;
    setCard(slot, 'ready', ...readyWords(slot, result));
    drawCardLevels(slot, result.levels);
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
    drawCardLevels(slot, texture.levels);
    paintPart(index);
  }
  if (textures) showTextures(textures, kSkinnedTexturesNote);
}

async function skin() {
  if (blockers().length > 0) return;
  resetDownload();
  const done = timeStep('skin');
  const before = state.changes;
  const button = $('[data-role="skin"]');
  // A disabled button drops the focus; it goes on to the download instead.
  const focused = document.activeElement === button;
  button.disabled = true;
  $('[data-role="status"]').textContent = 'Skinning…';
  const result = await call('skin', { bitmapPaths: state.slots.map((slot) => slot.bitmapPath) });
  if (before !== state.changes) return;
  setMessages(result.lines);
  const anchor = $('[data-role="download"]');
  if (result.status === 0) {
    state.downloadUrl = URL.createObjectURL(new Blob([result.output],
      { type: 'application/octet-stream' }));
    anchor.href = state.downloadUrl;
    anchor.removeAttribute('aria-disabled');
    $('[data-role="result-note"]').hidden = false;
    showReadBack(result.textures);
    announce('Skinned: cueNew.obp is ready to download.');
  } else {
    showFailure($('[data-role="outcome"]'), result.advice, result.lines.at(-1) ?? '');
  }
  updateStatus();
  if (focused) (result.status === 0 ? anchor : button).focus();
  done();
}

// The slots' indices in the cards' order, tip to bumper.
function cardOrder() {
  return kCueParts.map(([argument]) => state.slots.findIndex((slot) => slot.argument === argument))
    .filter((index) => index >= 0);
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
  const free = cardOrder().filter((index) => !chosen.has(index) && !state.slots[index].file);
  for (const file of rest) {
    if (free.length === 0) {
      lines.push(`${file.name} not used: every part has a picture`);
    } else {
      chosen.set(free.shift(), file);
    }
  }
  for (const index of cardOrder().filter((slot) => chosen.has(slot))) {
    lines.push(`${chosen.get(index).name} → ${state.slots[index].part}`);
    givePicture(index, chosen.get(index));
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

// True when the page holds a model or a picture that a step would replace.
function holdsWork() {
  return state.model.file !== null || state.slots.some((slot) => slot.file !== null);
}

// Asks before work is replaced; nothing, the saved copy included, changes
// until the user says so.
function confirmReplace(question, action) {
  if (!holdsWork()) return Promise.resolve(true);
  const dialog = $('#confirm');
  $('#confirm-question').textContent = question;
  $('[data-role="confirm-replace"]', dialog).textContent = action;
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue === 'replace'),
      { once: true });
  });
}

async function trySample() {
  if (!await confirmReplace('Try the sample in place of your model and pictures? Your own '
    + 'will be gone from this page.', 'Use the sample')) return;
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
  const input = $('input[type="file"]', card);
  input.id = `${card.id}-picture`;
  input.accept = kPictureAccept;
  input.dataset.slot = slot.argument;
  const label = $('.picker label', card);
  label.htmlFor = input.id;
  label.id = `${input.id}-label`;
  // Heard as "Choose a picture for the shaft", followed by the one it uses.
  input.setAttribute('aria-label', `Choose a picture for the ${slot.part}`);
  const picked = $('.picked', card);
  picked.id = `${input.id}-picked`;
  input.setAttribute('aria-describedby', picked.id);
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
  for (const [argument, share] of kCueParts) {
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
    diagram.append(part);
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

async function startOver() {
  if (!await confirmReplace('Start over? Your model and pictures will be gone from this page.',
    'Start over')) return;
  changed();
  state.model.file = null;
  state.model.ready = false;
  state.model.levels = new Map();
  state.model.generation += 1;
  $('[data-role="model"]').value = '';
  $('[data-role="model-picked"]').textContent = 'No model yet.';
  $('[data-role="model-status"]').textContent = '';
  delete $('#model-section').dataset.state;
  $('[data-role="drop-report"]').textContent = '';
  state.model.textures = [];
  showTextures([], kModelTexturesNote);
  state.slots.forEach((slot, index) => {
    $('.fit', slot.card).value = '1';
    $('.dither', slot.card).checked = false;
    clearSlot(index);
  });
}

async function start() {
  state.worker = startWorker();
  const slots = await call('slots');
  slots.forEach((slot, index) => {
    const entry = { ...slot, file: null, bitmapPath: null, levels: null, state: 'empty',
      generation: 0, swatchUrl: null, paintings: 0 };
    state.slots.push(entry);
    entry.card = buildCard(slot, index);
  });
  // The cards in the drawing's order, tip to bumper.
  for (const index of cardOrder()) $('#slots').append(state.slots[index].card);
  buildDiagram();
  handleDrops();
  const modelInput = $('[data-role="model"]');
  modelInput.addEventListener('change', () => {
    if (modelInput.files.length > 0) openModel(modelInput.files[0]);
  });
  const picturesInput = $('[data-role="pictures"]');
  picturesInput.accept = kPictureAccept;
  $('[data-role="picture-kinds"]').textContent = kPictureKinds;
  picturesInput.addEventListener('change', () => {
    if (picturesInput.files.length > 0) distribute([...picturesInput.files]);
    picturesInput.value = '';
  });
  $('#texture-details').addEventListener('toggle', () => {
    if ($('#texture-details').open && !table.drawn) fillTextureTable();
  });
  $('[data-role="skin"]').addEventListener('click', skin);
  $('[data-role="sample"]').addEventListener('click', trySample);
  $('[data-role="start-over"]').addEventListener('click', startOver);
  updateStatus();
  await restoreState();
  document.body.dataset.ready = 'true';
}

start();
