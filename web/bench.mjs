// Benchmark, not a test: how long the page takes in headless Chromium to open
// the bundled sample model and draw every texture, and to skin it once the
// nine pictures are in. Each step is timed by the page itself, from the
// moment it starts to the next frame after its drawing; medians of the runs.
// Usage: node bench.mjs [RUNS]   (after scripts/build-web and a release build)
import { join } from 'node:path';
import { rmSync } from 'node:fs';

import { launch, makeSample, openPage, sampleBitmaps, serve } from './tests/harness.mjs';

const runs = Number(process.argv[2] ?? 7);
const kArguments = ['connectbmp', 'pointbmp1', 'pointbmp2', 'pointbmp3', 'wrapbmp', 'buttbmp',
  'ferrulebmp', 'shaftbmp', 'bumperbmp'];

async function lastMeasure(page, name, count) {
  await page.waitForFunction((n, c) => performance.getEntriesByName(n).length >= c, {}, name,
    count);
  return page.evaluate((n) => performance.getEntriesByName(n).at(-1).duration, name);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serve();
const chromium = await launch();
const sample = makeSample();
const timings = { 'open-model': [], skin: [] };
try {
  for (let run = 0; run < runs; run++) {
    const page = await openPage(chromium.browser, server.address);
    await (await page.$('[data-role="model"]')).uploadFile(join(sample, 'cueTemplate.obp'));
    timings['open-model'].push(await lastMeasure(page, 'open-model', 1));
    for (const [index, argument] of kArguments.entries()) {
      await (await page.$(`[data-slot="${argument}"]`)).uploadFile(join(sample, sampleBitmaps[index]));
    }
    await page.waitForFunction(() => !document.querySelector('[data-role="skin"]').disabled);
    await page.click('[data-role="skin"]');
    timings.skin.push(await lastMeasure(page, 'skin', 1));
    await page.close();
  }
} finally {
  await chromium.close();
  await server.close();
  rmSync(sample, { recursive: true, force: true });
}
for (const [name, values] of Object.entries(timings)) {
  console.log(`${name}: median ${median(values).toFixed(1)} ms, min ${Math.min(...values).toFixed(1)}`
    + ` ms, max ${Math.max(...values).toFixed(1)} ms over ${values.length} runs`);
}
