// The page in headless Chromium against the native programs: what it lists
// and draws is what tintrod-extract writes, and what it skins is byte for
// byte what tintrod writes from the same files.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { createRequire } from 'node:module';
import { after, before, describe, it } from 'node:test';

import { readBmp8 } from './bmp8.mjs';
import {
  browserNames, launch, makeSample, native, openPage, repository, runNative, sampleBitmaps, serve,
  singleFile,
} from './harness.mjs';

const kArguments = ['connectbmp', 'pointbmp1', 'pointbmp2', 'pointbmp3', 'wrapbmp', 'buttbmp',
  'ferrulebmp', 'shaftbmp', 'bumperbmp'];
const kLevelFiles = ['.bmp', '.mip1.bmp', '.mip2.bmp'];
const axeScript = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

let server;
let sample;

// tintrod-extract's listing of `model` in `where`, writing the textures to
// `folder` there, over what the run in the last browser wrote: [{name, width,
// height, slot}] in table order.
function extractListing(model, folder, where = sample) {
  const run = runNative(native.extract, ['--force', model, folder], where);
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
  await upload(page, '[data-role="model"]', '#model-section', path);
}

// Waits until no slot is still at work.
async function settled(page) {
  await page.waitForFunction(() => !document.querySelector('[data-state="working"]'));
}

// Hands `path` to the element under `selector` and waits until `zone` has
// taken it, well or not.
async function upload(page, selector, zone, path) {
  await page.$eval(zone, (element) => { element.dataset.state = 'uploading'; });
  await (await page.$(selector)).uploadFile(path);
  await page.waitForFunction((where) =>
    ['ready', 'error'].includes(document.querySelector(where).dataset.state), {}, zone);
}

// Gives the slot a picture: what its card then says, a failure as its tool line.
async function giveSlot(page, argument, path) {
  const card = `[data-slot-card="${argument}"]`;
  await upload(page, `[data-slot="${argument}"]`, card, path);
  return page.$eval(card, (element) =>
    (element.querySelector('.tool-line') ?? element.querySelector('.slot-status')).textContent);
}

const kUsedAsItIs = "Used as it is: an 8-bit BMP of the part's size.";

// Whether a test can run code in the page's worker (Chromium's protocol
// lets it; Firefox's, through puppeteer, not reliably).
async function workerReachable(page) {
  const [worker] = page.workers();
  return worker !== undefined && await worker.evaluate(() => true).catch(() => false);
}

// Runs `action` while the page's worker finds every file gone from the disk
// (`errorName` as the browser names the failure of reading one).
async function whileFilesFail(page, errorName, action) {
  const [worker] = page.workers();
  await worker.evaluate((name) => {
    self.readWhole = Blob.prototype.arrayBuffer;
    Blob.prototype.arrayBuffer = () => Promise.reject(new DOMException('the file is gone', name));
  }, errorName);
  try {
    return await action();
  } finally {
    await worker.evaluate(() => { Blob.prototype.arrayBuffer = self.readWhole; });
  }
}

// Opens the textures table and waits until its pictures are drawn.
async function openTextureTable(page) {
  if (!await page.$eval('#texture-details', (details) => details.open)) {
    await page.click('#texture-details summary');
  }
  await page.waitForSelector('#texture-table[data-drawn]');
}

// Every preview drawn as its level's own shape: [label, drawn width / height,
// level width / height] of those that are not.
async function squashedPreviews(page) {
  return page.$$eval('canvas[data-level]', (canvases) => canvases
    .filter((canvas) => canvas.getClientRects().length > 0)
    .map((canvas) => {
      const box = canvas.getBoundingClientRect();
      const border = 2;
      return [canvas.getAttribute('aria-label'), (box.width - border) / (box.height - border),
        canvas.width / canvas.height];
    }).filter(([, drawn, own]) => Math.abs(drawn - own) > 0.02));
}

// Answers the page's question before work is replaced.
async function answer(page, choice) {
  await page.waitForSelector('#confirm[open]');
  await page.click(`#confirm button[value="${choice}"]`);
  await page.waitForFunction(() => !document.querySelector('#confirm').open);
}

// The drawing's parts and the cards, each as [argument, left, top], in the page's order.
async function partsAndCards(page) {
  return page.evaluate(() => {
    const place = (element, name) => {
      const box = element.getBoundingClientRect();
      return [element.dataset[name] ?? null, Math.round(box.left), Math.round(box.top)];
    };
    return {
      parts: [...document.querySelectorAll('[data-role="diagram"] > *')].map((part) =>
        place(part, 'part')),
      cards: [...document.querySelectorAll('[data-slot-card]')].map((card) =>
        place(card, 'slotCard')),
    };
  });
}
const kTipToBumper = [null, 'ferrulebmp', 'shaftbmp', 'connectbmp', 'pointbmp1', 'pointbmp2',
  'pointbmp3', 'wrapbmp', 'buttbmp', 'bumperbmp'];

// The sample's files handed to the page as a drop on `selector`, under the
// given names; true when the page kept the browser from opening them.
async function dropFiles(page, selector, files) {
  const encoded = files.map(([name, path]) => [name, readFileSync(path).toString('base64')]);
  return page.$eval(selector, (target, list) => {
    const transfer = new DataTransfer();
    for (const [name, base64] of list) {
      transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
    }
    const event = new DragEvent('drop',
      { dataTransfer: transfer, bubbles: true, cancelable: true });
    target.dispatchEvent(event);
    return event.defaultPrevented;
  }, encoded);
}

// Presses Tab until `selector` has the focus.
async function tabTo(page, selector) {
  for (let presses = 0; presses < 200; ++presses) {
    if (await page.$eval(selector, (element) => element === document.activeElement)) return;
    await page.keyboard.press('Tab');
  }
  assert.fail(`Tab never reaches ${selector}`);
}

async function skinAndDownload(page) {
  await settled(page);
  await page.waitForFunction(() => !document.querySelector('[data-role="skin"]').disabled);
  await page.click('[data-role="skin"]');
  return downloadBytes(page);
}

function nativeOutput() {
  return readFileSync(join(sample, 'cueNew.obp'));
}

async function skinButtonEnabled(page) {
  return page.$eval('[data-role="skin"]', (button) => !button.disabled);
}

before(async () => {
  server = await serve();
  sample = makeSample();
  const run = runNative(native.tintrod, sampleBitmaps, sample);
  assert.equal(run.status, 0, run.stdout);
  writeFileSync(join(sample, 'native.txt'), run.stdout);
});

after(async () => {
  await server?.close();
  if (sample) rmSync(sample, { recursive: true, force: true });
});

for (const browserName of browserNames) {
  describe(`the page in ${browserName}`, () => {
    let launched;
    before(async () => { launched = await launch(browserName); });
    after(async () => { await launched?.close(); });

    it('lists and draws every texture of the model as tintrod-extract does', async () => {
      const page = await openPage(launched.browser, server.address);
      const listing = extractListing('cueTemplate.obp', 'before');
      await openModel(page, join(sample, 'cueTemplate.obp'));
      await openTextureTable(page);
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

    it('skins the nine sample bitmaps into the bytes tintrod writes, from disk', async () => {
      const page = await openPage(launched.browser, singleFile);
      await openModel(page, join(sample, 'cueTemplate.obp'));
      assert.equal(await skinButtonEnabled(page), false);
      for (const [index, argument] of kArguments.entries()) {
        const status = await giveSlot(page, argument, join(sample, sampleBitmaps[index]));
        assert.equal(status, kUsedAsItIs);
        assert.equal(await page.$eval(`[data-slot-card="${argument}"] .picked`,
          (span) => span.textContent), sampleBitmaps[index]);
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
      // The table shows the skinned model's textures now, not the model's.
      await openTextureTable(page);
      for (const texture of skinned) {
        await assertLevels(page, `tr[data-texture="${texture.name}"]`,
          join(sample, 'after', texture.name));
      }
      // One cue on one line, tip to bumper, and the cards in the same order;
      // every preview as its texture's shape.
      await page.setViewport({ width: 1366, height: 800 });
      const { parts, cards } = await partsAndCards(page);
      assert.deepEqual(parts.map(([argument]) => argument), kTipToBumper);
      assert.equal(new Set(parts.map(([, , top]) => top)).size, 1, 'the cue wraps');
      assert.ok(parts.every(([, left], index) => index === 0 || left > parts[index - 1][1]));
      assert.deepEqual(cards.map(([argument]) => argument), kTipToBumper.slice(1));
      assert.deepEqual(await squashedPreviews(page), []);
      assert.deepEqual(await messages(page),
        readFileSync(join(sample, 'native.txt'), 'utf8').trimEnd().split('\n'));
      assert.deepEqual(page.outsideRequests, [], 'the page asked the network');
      await page.close();
    });

    it('prepares PNG, JPEG and other bitmaps as tintrod-prepare does, then skins', async () => {
      const page = await openPage(launched.browser, server.address);
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

      // Photos as cameras write them: one decoded whole, and two large enough
      // for the decoder to take at 1/4 and 1/8 of their size.
      const photos = join(repository, 'tests/data/pictures');
      execFileSync(join(repository, 'scripts/make-large-photos'), [folder]);
      // slot, picture, fit (as the page's select and the program's option), dither
      const prepared = {
        pointbmp1: [join(folder, 'large-progressive.jpg'), 'crop', false],
        ferrulebmp: [join(photos, 'photo-progressive.jpg'), 'stretch', true],
        connectbmp: [join(sample, 'bumper.bmp'), 'stretch', false],
        shaftbmp: [join(folder, 'picture.png'), 'crop', true],
        bumperbmp: [join(folder, 'picture.jpg'), 'pad', false],
        wrapbmp: [join(folder, 'large-tall.jpg'), 'crop', false],
        // As phones store photos: a grid of tiles turned half round, and one
        // turned and mirrored by its own properties; and a WebP.
        pointbmp2: [join(photos, 'heic-grid.heic'), 'crop', false],
        pointbmp3: [join(photos, 'heic-turned.heic'), 'pad', false],
        buttbmp: [join(folder, 'picture.webp'), 'crop', true],
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
        assert.match(status, fit ? /^Prepared: / : /^Used as it is/);
      }
      for (const texture of listing.filter((entry) => entry.slot in prepared)) {
        await assertLevels(page, `[data-slot-card="${texture.slot}"]`,
          join(folder, 'after', texture.name));
      }
      await page.click('[data-role="skin"]');
      assert.ok((await downloadBytes(page)).equals(readFileSync(join(folder, 'cueNew.obp'))),
        'cueNew.obp differs');

      // A WebP, which the core reads itself, in another part.
      assert.match(await giveSlot(page, 'wrapbmp', join(folder, 'picture.webp')), /^Prepared: /);
      assert.equal(await page.$$eval('[data-slot-card="wrapbmp"] canvas', (c) => c.length), 3);

      // A picture much smaller than its part passes with a warning in its card.
      const warning = () => page.$eval('[data-slot-card="shaftbmp"] [data-role="warning"]',
        (p) => p.textContent);
      assert.equal(await warning(), '');
      const tiny = join(folder, 'tiny.png');
      writeFileSync(tiny, Buffer.from(await page.evaluate(() => {
        const canvas = document.createElement('canvas');
        canvas.width = 16;
        canvas.height = 16;
        canvas.getContext('2d').fillRect(4, 4, 8, 8);
        const url = canvas.toDataURL('image/png');
        return url.slice(url.indexOf(',') + 1);
      }), 'base64'));
      assert.match(await giveSlot(page, 'shaftbmp', tiny), /^Prepared: /);
      assert.match(await warning(), /16 × 16 on 256 × 256\): it will look blocky/);
      await page.close();
    });

    it('says what stands in the way, and a change clears the last run at once', async () => {
      const page = await openPage(launched.browser, server.address);
      const bad = join(sample, 'bad');
      mkdirSync(bad, { recursive: true });
      writeFileSync(join(bad, 'notes.png'), 'not a picture\n');
      writeFileSync(join(bad, 'gone.png'), 'gone from the disk before it is read\n');
      writeFileSync(join(bad, 'cueTemplate.obp'), Buffer.alloc(64, 7));
      writeFileSync(join(bad, 'empty.obp'), Buffer.alloc(0));
      writeFileSync(join(bad, 'empty.png'), Buffer.alloc(0));
      // A PNG that claims 8000 × 8000 pixels: the browser's one-pixel PNG, its size rewritten.
      const huge = Buffer.from(await page.evaluate(() => {
        const canvas = document.createElement('canvas');
        canvas.width = 1;
        canvas.height = 1;
        const url = canvas.toDataURL('image/png');
        return url.slice(url.indexOf(',') + 1);
      }), 'base64');
      huge.writeUInt32BE(8000, 16);
      huge.writeUInt32BE(8000, 20);
      writeFileSync(join(bad, 'huge.png'), huge);
      const blockers = () => page.$$eval('[data-role="status"] a',
        (links) => links.map((a) => a.getAttribute('href')));

      assert.deepEqual(await blockers(), ['#model-input', ...kArguments.map((a) => `#slot-${a}`)]);
      // No verdict on a good model while it is still being read.
      await page.evaluate(() => {
        window.statusWords = [];
        const status = document.querySelector('[data-role="status"]');
        new MutationObserver(() => window.statusWords.push(status.textContent))
          .observe(status, { childList: true, characterData: true, subtree: true });
      });
      await openModel(page, join(sample, 'cueTemplate.obp'));
      assert.deepEqual((await page.evaluate(() => window.statusWords))
        .filter((words) => words.includes('cannot be used')), []);
      for (const [index, argument] of kArguments.entries()) {
        await giveSlot(page, argument, join(sample, sampleBitmaps[index]));
      }
      // each change after a good run: what it does, the line it shows and where, what then
      // stands in the way
      const cases = [
        [() => giveSlot(page, 'bumperbmp', join(bad, 'notes.png')),
          ['bumperbmp', "can't decode picture notes.png; use a PNG, JPEG, HEIC, WebP, BMP, GIF or TGA file"], ['#slot-bumperbmp']],
        // An empty file: the command line's line, with advice of its own.
        [() => giveSlot(page, 'bumperbmp', join(bad, 'empty.png')),
          ['bumperbmp', "can't decode picture empty.png; use a PNG, JPEG, HEIC, WebP, BMP, GIF or TGA file"], ['#slot-bumperbmp']],
        [() => giveSlot(page, 'bumperbmp', join(bad, 'huge.png')),
          ['bumperbmp', 'picture huge.png is too large; the limit is 32 megapixels, 16384 pixels '
            + 'a side and 256 MiB'], ['#slot-bumperbmp']],
        // As the command line says it of a file that is not there.
        ...(!await workerReachable(page) ? [] : [
          [() => whileFilesFail(page, 'NotFoundError',
            () => giveSlot(page, 'bumperbmp', join(bad, 'gone.png'))),
          ['bumperbmp', "can't find picture gone.png"], ['#slot-bumperbmp']]]),
        [() => giveSlot(page, 'bumperbmp', join(sample, 'bumper.bmp')),
          ['bumperbmp', kUsedAsItIs], []],
        [() => openModel(page, join(bad, 'cueTemplate.obp')),
          ['model', 'cue stick file is corrupt'], ['#model-input']],
        [() => openModel(page, join(bad, 'empty.obp')),
          ['model', 'cue stick file is corrupt'], ['#model-input']],
      ];
      for (const [change, [where, line], standing] of cases) {
        if ((await blockers()).length === 0) {
          assert.ok((await skinAndDownload(page)).equals(nativeOutput()), 'cueNew.obp differs');
        }
        await change();
        assert.equal(await page.$('[data-role="download"][href]'), null, line);
        assert.deepEqual(await messages(page), [''], line);
        const card = where === 'model' ? '#model-section' : `[data-slot-card="${where}"]`;
        // A failure is a sentence saying what to do, the tool's line its detail.
        assert.equal(await page.$eval(card, (element) => (element.querySelector('.tool-line')
          ?? element.querySelector('.slot-status')).textContent), line);
        assert.match(await page.$eval(card, (element) => element.querySelector('.failure')
          ?.textContent ?? 'none'), standing.length > 0 ? /: pick / : /^none$/, line);
        assert.deepEqual(await blockers(), standing, line);
        assert.equal(await skinButtonEnabled(page), standing.length === 0, line);
      }
      assert.equal(await page.$$eval('[data-slot-card="bumperbmp"] canvas', (c) => c.length), 3);
      await page.close();
    });

    it('builds the sample, shares dropped pictures out by name and keeps them over a reload',
      async () => {
        const page = await openPage(launched.browser, server.address);
        await page.click('[data-role="sample"]');
        assert.ok((await skinAndDownload(page)).equals(nativeOutput()), 'the sample differs');

        // Work is replaced only when the user says so; the saved copy stays until then.
        await page.click('[data-role="sample"]');
        await answer(page, 'keep');
        await page.click('[data-role="start-over"]');
        await answer(page, 'keep');
        await page.reload();
        await page.waitForSelector('body[data-ready="true"]');
        assert.ok((await skinAndDownload(page)).equals(nativeOutput()), 'the work was lost');

        // Named after a part, a texture or an argument, or after none: those
        // go to the slots still empty, in order.
        await page.click('[data-role="start-over"]');
        await answer(page, 'replace');
        await page.waitForFunction(() => !document.querySelector('[data-state="ready"]'));
        await openModel(page, join(sample, 'cueTemplate.obp'));
        const named = {
          'Bumper.bmp': 'bumper.bmp', 'zbshaft.bmp': 'shaft.bmp', 'ferrule_bmp.bmp': 'ferrule.bmp',
          'connect.bmp': 'connect.bmp', 'point1.bmp': 'point1.bmp', 'point2.bmp': 'point2.bmp',
          'point3.bmp': 'point3.bmp', 'wrap.bmp': 'wrap.bmp', 'butt.bmp': 'butt.bmp',
        };
        const dropped = Object.entries(named).map(([name, file]) => [name, join(sample, file)]);
        assert.equal(await dropFiles(page, 'h1', dropped), true, 'the browser opens them');
        const report = await page.$eval('[data-role="drop-report"]', (p) => p.textContent);
        assert.match(report, /zbshaft\.bmp → shaft/);
        await page.select('[data-slot-card="shaftbmp"] .fit', '2');
        assert.ok((await skinAndDownload(page)).equals(nativeOutput()), 'dropped files misplaced');

        await page.reload();
        await page.waitForSelector('body[data-ready="true"]');
        assert.equal(await page.$eval('[data-slot-card="shaftbmp"] .fit', (s) => s.value), '2');
        assert.ok((await skinAndDownload(page)).equals(nativeOutput()), 'the reload lost work');
        // The cards name the pictures they restored.
        assert.equal(await page.$eval('[data-slot-card="shaftbmp"] .picked', (s) => s.textContent),
          'zbshaft.bmp');

        // The same pictures through the one picker that takes several, as on a phone.
        await page.click('[data-role="start-over"]');
        await answer(page, 'replace');
        await openModel(page, join(sample, 'cueTemplate.obp'));
        const chosen = join(sample, 'chosen');
        mkdirSync(chosen, { recursive: true });
        for (const [name, file] of Object.entries(named)) {
          copyFileSync(join(sample, file), join(chosen, name));
        }
        await (await page.$('[data-role="pictures"]')).uploadFile(
          ...Object.keys(named).map((name) => join(chosen, name)));
        await page.waitForFunction(() =>
          document.querySelectorAll('[data-slot-card][data-state="ready"]').length === 9);
        assert.equal(await page.$eval('[data-slot-card="shaftbmp"] .picked', (s) => s.textContent),
          'zbshaft.bmp');
        await page.select('[data-slot-card="shaftbmp"] .fit', '2');
        assert.ok((await skinAndDownload(page)).equals(nativeOutput()), 'chosen files misplaced');
        await page.close();
      });

    it('works at phone width by keyboard alone, for assistive technology, and with a large photo',
      async (t) => {
      const page = await openPage(launched.browser, server.address);
      // A touch screen: the browser loads the page again.
      await page.setViewport({ width: 360, height: 740, hasTouch: true, isMobile: true });
      await page.waitForSelector('body[data-ready="true"]');
      await tabTo(page, '[data-role="sample"]');
      await page.keyboard.press('Enter');
      await settled(page);
      await page.waitForFunction(() => !document.querySelector('[data-role="skin"]').disabled);
      // Skin and Download stay in reach wherever the page is scrolled.
      for (const y of [0, 2000]) {
        await page.evaluate((top) => window.scrollTo(0, top), y);
        assert.ok(await page.$eval('[data-role="download"]', (link) =>
          link.getBoundingClientRect().bottom <= window.innerHeight), `scrolled to ${y}`);
      }
      await tabTo(page, '[data-role="skin"]');
      await page.keyboard.press('Enter');
      assert.ok((await downloadBytes(page)).equals(nativeOutput()), 'the sample differs');
      // After Skin by keyboard the focus is on the download, not lost to the page.
      assert.equal(await page.evaluate(() => document.activeElement.dataset.role), 'download');
      await openTextureTable(page);
      assert.equal(await page.evaluate(() =>
        document.documentElement.scrollWidth - document.documentElement.clientWidth), 0);
      assert.deepEqual(await squashedPreviews(page), []);
      // A texture's name and size each on one line.
      assert.deepEqual(await page.$$eval('#texture-table td:nth-child(-n+3)', (cells) =>
        cells.filter((cell) => {
          const range = document.createRange();
          range.selectNodeContents(cell);
          return new Set([...range.getClientRects()].map((rect) => Math.round(rect.top))).size > 1;
        }).map((cell) => cell.textContent)), []);
      // A finger reaches every control (where the browser says it is a touch screen).
      assert.deepEqual(await page.evaluate(() => !matchMedia('(pointer: coarse)').matches ? []
        : [...document.querySelectorAll('button, label.button, select, summary, a[href], '
          + '.options label')]
          .filter((element) => element.getClientRects().length > 0)
          .map((element) => [element.textContent.trim().slice(0, 30),
            element.getBoundingClientRect()])
          .filter(([, box]) => box.width < 44 || box.height < 44)
          .map(([name, box]) => `${name}: ${Math.round(box.width)}×${Math.round(box.height)}`)),
      []);
      await page.addScriptTag({ content: readFileSync(axeScript, 'utf8') });
      assert.deepEqual(await page.evaluate(async () => (await window.axe.run()).violations
        .filter((violation) => ['serious', 'critical'].includes(violation.impact))
        .map((violation) => `${violation.id}: ${violation.nodes.map((node) => node.target)}`)), []);

      // A 12-megapixel camera photo, encoded by the browser before the watch starts.
      const photo = join(sample, 'photo.jpg');
      writeFileSync(photo, Buffer.from(await page.evaluate(() => {
        const canvas = document.createElement('canvas');
        canvas.width = 4000;
        canvas.height = 3000;
        const context = canvas.getContext('2d');
        const gradient = context.createRadialGradient(2000, 1500, 100, 2000, 1500, 2500);
        gradient.addColorStop(0, '#f2c14e');
        gradient.addColorStop(1, '#1d3f8f');
        context.fillStyle = gradient;
        context.fillRect(0, 0, 4000, 3000);
        const url = canvas.toDataURL('image/jpeg', 0.92);
        return url.slice(url.indexOf(',') + 1);
      }), 'base64'));
      await page.evaluate(() => {
        window.longTasks = [];
        new PerformanceObserver((list) => {
          for (const entry of list.getEntries()) window.longTasks.push(entry.duration);
        }).observe({ type: 'longtask' });
      });
      await (await page.$('[data-slot="shaftbmp"]')).uploadFile(photo);
      // The page answers while the photo is being prepared (on a quick
      // machine the worker may be done already).
      assert.match(await page.$eval('[data-slot-card="shaftbmp"]', (card) => card.dataset.state),
        /^(working|ready)$/);
      assert.equal(await page.$eval('[data-slot-card="shaftbmp"] .picked',
        (span) => span.textContent), 'photo.jpg');
      await settled(page);
      assert.match(await page.$eval('[data-slot-card="shaftbmp"] .slot-status',
        (p) => p.textContent), /^Prepared: /);
      t.diagnostic(`long tasks while preparing: ${JSON.stringify(
        await page.evaluate(() => window.longTasks))} ms`);
      await page.close();
    });
  });
}
