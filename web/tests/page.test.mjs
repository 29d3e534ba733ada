// The page in headless Chromium against the native programs: what it lists
// and draws is what tintrod-extract writes, and what it skins is byte for
// byte what tintrod writes from the same files.
import assert from 'node:assert/strict';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, it } from 'node:test';

import { readBmp8 } from './bmp8.mjs';
import {
  launch, makeSample, native, openPage, repository, runNative, sampleBitmaps, serve,
} from './harness.mjs';

const kArguments = ['connectbmp', 'pointbmp1', 'pointbmp2', 'pointbmp3', 'wrapbmp', 'buttbmp',
  'ferrulebmp', 'shaftbmp', 'bumperbmp'];
const kLevelFiles = ['.bmp', '.mip1.bmp', '.mip2.bmp'];

let server;
let chromium;
let sample;

// tintrod-extract's listing of `model` in `where`, writing the textures to
// `folder` there: [{name, width, height, slot}] in table order.
function extractListing(model, folder, where = sample) {
  const run = runNative(native.extract, [model, folder], where);
  assert.equal(run.status, 0, run.stdout);
  return run.stdout.trim().split('\n').slice(1).map((line) => {
    const [, name, width, height, slot] = line.trim().split(/\s+/).map((field, index) =>
      (index === 2 || index === 4 ? Number(field) : field)).filter((field) => field !== 'x');
    return { name, width, height, slot };
  });
}

async function canvasPixels(page, selector) {
  return page.$$eval(selector, (canvases) => canvases.map((canvas) => {
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) {
      text += String.fromCharCode(...data.subarray(i, i + 0x8000));
    }
    return { width: canvas.width, height: canvas.height, rgba: btoa(text) };
  }));
}

// The three canvases under `selector` hold the levels tintrod-extract wrote
// as `stem`.mip*.bmp.
async function assertLevels(page, selector, stem) {
  const canvases = await canvasPixels(page, `${selector} canvas`);
  assert.equal(canvases.length, 3, selector);
  canvases.forEach((canvas, level) => {
    const expected = readBmp8(stem + kLevelFiles[level]);
    assert.deepEqual([canvas.width, canvas.height], [expected.width, expected.height], selector);
    assert.ok(Buffer.from(canvas.rgba, 'base64').equals(Buffer.from(expected.rgba)),
      `${selector} level ${level} differs from ${stem}${kLevelFiles[level]}`);
  });
}

async function downloadBytes(page) {
  await page.waitForSelector('[data-role="download"][href^="blob:"]');
  const text = await page.$eval('[data-role="download"]', async (link) => {
    const bytes = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary);
  });
  return Buffer.from(text, 'base64');
}

async function messages(page) {
  return (await page.$eval('[data-role="messages"]', (pre) => pre.textContent)).split('\n');
}

async function openModel(page, path) {
  await (await page.$('[data-role="model"]')).uploadFile(path);
  await page.waitForFunction(() => document.querySelector('[data-role="model-status"]').textContent);
}

async function giveSlot(page, argument, path) {
  const status = `[data-slot-card="${argument}"] .slot-status`;
  await page.$eval(status, (element) => { element.textContent = ''; });
  await (await page.$(`[data-slot="${argument}"]`)).uploadFile(path);
  await page.waitForFunction((selector) => document.querySelector(selector).textContent, {},
    status);
  return page.$eval(status, (element) => element.textContent);
}

async function skinButtonEnabled(page) {
  return page.$eval('[data-role="skin"]', (button) => !button.disabled);
}

before(async () => {
  server = await serve();
  chromium = await launch();
  sample = makeSample();
  const run = runNative(native.tintrod, sampleBitmaps, sample);
  assert.equal(run.status, 0, run.stdout);
  writeFileSync(join(sample, 'native.txt'), run.stdout);
});

after(async () => {
  await chromium?.close();
  await server?.close();
  if (sample) rmSync(sample, { recursive: true, force: true });
});

describe('the page', () => {
  it('lists and draws every texture of the model as tintrod-extract does', async () => {
    const page = await openPage(chromium.browser, server.address);
    const listing = extractListing('cueTemplate.obp', 'before');
    await openModel(page, join(sample, 'cueTemplate.obp'));
    const rows = await page.$$eval('#texture-table tbody tr', (trs) => trs.map((tr) =>
      [...tr.cells].slice(1, 4).map((cell) => cell.textContent)));
    assert.deepEqual(rows, listing.map((texture) =>
      [texture.name, `${texture.width} × ${texture.height}`, texture.slot]));
    for (const texture of listing) {
      await assertLevels(page, `tr[data-texture="${texture.name}"]`,
        join(sample, 'before', texture.name));
    }
    await page.close();
  });

  it('skins the nine sample bitmaps into the bytes tintrod writes', async () => {
    const page = await openPage(chromium.browser, server.address);
    const requestsAfterLoad = server.requests.length;
    await openModel(page, join(sample, 'cueTemplate.obp'));
    assert.equal(await skinButtonEnabled(page), false);
    for (const [index, argument] of kArguments.entries()) {
      const status = await giveSlot(page, argument, join(sample, sampleBitmaps[index]));
      assert.equal(status, `${sampleBitmaps[index]}: used as it is`);
    }
    // Each slot shows its texture as the skinned model stores it.
    const skinned = extractListing('cueNew.obp', 'after');
    for (const texture of skinned.filter((entry) => entry.slot !== '-')) {
      await assertLevels(page, `[data-slot-card="${texture.slot}"]`,
        join(sample, 'after', texture.name));
    }
    assert.equal(await skinButtonEnabled(page), true);
    await page.click('[data-role="skin"]');
    const output = await downloadBytes(page);
    assert.ok(output.equals(readFileSync(join(sample, 'cueNew.obp'))), 'cueNew.obp differs');
    assert.deepEqual(await messages(page),
      readFileSync(join(sample, 'native.txt'), 'utf8').trimEnd().split('\n'));
    assert.equal(server.requests.length, requestsAfterLoad, 'the page asked the network');
    await page.close();
  });

  it('prepares PNG, JPEG and other bitmaps as tintrod-prepare does, then skins', async () => {
    const page = await openPage(chromium.browser, server.address);
    const folder = join(sample, 'prepared');
    mkdirSync(folder, { recursive: true });
    // The browser encodes the pictures, so the test holds no encoder of its own.
    const encoded = await page.evaluate(() => {
      const canvas = document.createElement('canvas');
      canvas.width = 300;
      canvas.height = 200;
      const context = canvas.getContext('2d');
      const gradient = context.createLinearGradient(0, 0, 300, 200);
      gradient.addColorStop(0, '#1d3f8f');
      gradient.addColorStop(0.5, '#f2c14e');
      gradient.addColorStop(1, '#8a1c2b');
      context.fillStyle = gradient;
      context.fillRect(0, 0, 300, 200);
      context.fillStyle = '#2e8b57';
      context.beginPath();
      context.arc(150, 100, 60, 0, 2 * Math.PI);
      context.fill();
      const strip = (url) => url.slice(url.indexOf(',') + 1);
      return { png: strip(canvas.toDataURL('image/png')),
        jpeg: strip(canvas.toDataURL('image/jpeg', 0.9)),
        webp: strip(canvas.toDataURL('image/webp', 0.9)) };
    });
    writeFileSync(join(folder, 'picture.png'), Buffer.from(encoded.png, 'base64'));
    writeFileSync(join(folder, 'picture.jpg'), Buffer.from(encoded.jpeg, 'base64'));
    writeFileSync(join(folder, 'picture.webp'), Buffer.from(encoded.webp, 'base64'));

    // Photos that the decoder scales down while decoding, as cameras write them.
    const photos = join(repository, 'tests/data/pictures');
    // slot, picture, fit (as the page's select and the program's option), dither
    const prepared = {
      pointbmp1: [join(photos, 'photo-420.jpg'), 'crop', false],
      ferrulebmp: [join(photos, 'photo-progressive.jpg'), 'stretch', true],
      connectbmp: [join(sample, 'bumper.bmp'), 'stretch', false],
      shaftbmp: [join(folder, 'picture.png'), 'crop', true],
      bumperbmp: [join(folder, 'picture.jpg'), 'pad', false],
      wrapbmp: [join(folder, 'picture.png'), 'stretch', false],
    };
    const fits = { stretch: '0', crop: '1', pad: '2' };
    // The native run works in its own folder, beside the plain sample's output.
    copyFileSync(join(sample, 'cueTemplate.obp'), join(folder, 'cueTemplate.obp'));
    const bitmaps = sampleBitmaps.map((name) => join(sample, name));
    for (const [argument, [picture, fit, dither]] of Object.entries(prepared)) {
      const output = join(folder, `${argument}.bmp`);
      const run = runNative(native.prepare,
        [...(dither ? ['--dither'] : []), '--fit', fit, picture, argument, output], folder);
      assert.equal(run.status, 0, run.stdout);
      bitmaps[kArguments.indexOf(argument)] = output;
    }
    const skinned = runNative(native.tintrod, bitmaps, folder);
    assert.equal(skinned.status, 0, skinned.stdout);
    const listing = extractListing('cueNew.obp', 'after', folder);

    await openModel(page, join(sample, 'cueTemplate.obp'));
    for (const [index, argument] of kArguments.entries()) {
      const [picture, fit, dither] = prepared[argument] ?? [join(sample, sampleBitmaps[index])];
      if (fit) await page.select(`[data-slot-card="${argument}"] .fit`, fits[fit]);
      if (dither) await page.click(`[data-slot-card="${argument}"] .dither`);
      const status = await giveSlot(page, argument, picture);
      assert.match(status, fit ? /: prepared$/ : /: used as it is$/);
    }
    for (const texture of listing.filter((entry) => entry.slot in prepared)) {
      await assertLevels(page, `[data-slot-card="${texture.slot}"]`,
        join(folder, 'after', texture.name));
    }
    await page.click('[data-role="skin"]');
    assert.ok((await downloadBytes(page)).equals(readFileSync(join(folder, 'cueNew.obp'))),
      'cueNew.obp differs');

    // The core reads no WebP; the browser decodes it for the core.
    assert.equal(await giveSlot(page, 'wrapbmp', join(folder, 'picture.webp')),
      'picture.webp: prepared');
    assert.equal(await page.$$eval('[data-slot-card="wrapbmp"] canvas', (c) => c.length), 3);
    await page.close();
  });

  it('shows why a file cannot be used and refuses to skin', async () => {
    const page = await openPage(chromium.browser, server.address);
    const bad = join(sample, 'bad');
    mkdirSync(bad, { recursive: true });
    writeFileSync(join(bad, 'notes.png'), 'not a picture\n');
    writeFileSync(join(bad, 'cueTemplate.obp'), Buffer.alloc(64, 7));

    await openModel(page, join(bad, 'cueTemplate.obp'));
    assert.equal(await page.$eval('[data-role="model-status"]', (p) => p.textContent),
      'cue stick file is corrupt');
    await openModel(page, join(sample, 'cueTemplate.obp'));
    for (const [index, argument] of kArguments.entries()) {
      await giveSlot(page, argument, join(sample, sampleBitmaps[index]));
    }
    assert.equal(await skinButtonEnabled(page), true);
    const cases = [
      ['bumperbmp', join(bad, 'notes.png'), "can't decode picture notes.png"],
    ];
    for (const [argument, path, line] of cases) {
      assert.equal(await giveSlot(page, argument, path), line);
      assert.equal(await page.$$eval(`[data-slot-card="${argument}"] canvas`, (c) => c.length), 0);
      assert.equal(await skinButtonEnabled(page), false);
      assert.equal(await page.$('[data-role="download"][href]'), null);
    }
    await page.close();
  });
});
