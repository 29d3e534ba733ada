// Benchmark, not a test: how long the page takes in headless Chromium to
// prepare a camera photo for a slot, from the file's choice to its status
// line, and the longest task that blocked the page's main thread meanwhile
// (the core's work on the picture, while it runs there). Medians of the runs.
// Usage: node bench-picture.mjs PHOTO.jpg [RUNS]   (after scripts/build-web and a release build)
import { join, resolve } from 'node:path';
import { rmSync } from 'node:fs';

import { launch, makeSample, openPage, serve } from './tests/harness.mjs';

const photo = resolve(process.argv[2]);
const runs = Number(process.argv[3] ?? 7);
const slot = 'wrapbmp';
const kCrop = '1';

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serve();
const chromium = await launch();
const sample = makeSample();
const ready = [];
const blocked = [];
try {
  for (let run = 0; run < runs; run++) {
    const page = await openPage(chromium.browser, server.address);
    await (await page.$('[data-role="model"]')).uploadFile(join(sample, 'cueTemplate.obp'));
    await page.waitForFunction(() => document.querySelector('[data-role="model-status"]').textContent);
    // The page spends the next moments drawing the model's textures and
    // keeping the model for a reload; a person picks the picture after that,
    // and the measure is of the picture's own work.
    await page.evaluate(() => new Promise((done) => setTimeout(done, 1000)));
    await page.select(`[data-slot-card="${slot}"] .fit`, kCrop);
    await page.evaluate((argument) => {
      const timing = { longest: 0 };
      window.pictureTiming = timing;
      new PerformanceObserver((list) => {
        for (const entry of list.getEntries()) timing.longest = Math.max(timing.longest, entry.duration);
      }).observe({ type: 'longtask' });
      document.querySelector(`[data-slot="${argument}"]`).addEventListener('change', () => {
        timing.start = performance.now();
      }, { capture: true });
      const status = document.querySelector(`[data-slot-card="${argument}"] .slot-status`);
      status.textContent = '';
      // The worker's progress ("Preparing …") comes first; the run ends at the verdict.
      new MutationObserver(() => {
        if (status.textContent && !status.textContent.endsWith('…') && timing.end === undefined) {
          timing.end = performance.now();
          timing.status = status.textContent;
        }
      }).observe(status, { childList: true, characterData: true, subtree: true });
    }, slot);
    await (await page.$(`[data-slot="${slot}"]`)).uploadFile(photo);
    await page.waitForFunction(() => window.pictureTiming.end !== undefined, { timeout: 60000 });
    // Long tasks are reported after they end; give the last one a frame.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 50))));
    const timing = await page.evaluate(() => window.pictureTiming);
    if (!timing.status.startsWith('Prepared')) throw new Error(timing.status);
    ready.push(timing.end - timing.start);
    blocked.push(timing.longest);
    await page.close();
  }
} finally {
  await chromium.close();
  await server.close();
  rmSync(sample, { recursive: true, force: true });
}
console.log(`picture ready: median ${median(ready).toFixed(0)} ms, min ${Math.min(...ready).toFixed(0)}`
  + ` ms, max ${Math.max(...ready).toFixed(0)} ms over ${runs} runs`);
console.log(`longest main-thread task: median ${median(blocked).toFixed(0)} ms, max`
  + ` ${Math.max(...blocked).toFixed(0)} ms`);
