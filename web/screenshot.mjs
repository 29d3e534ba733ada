// Writes web/screenshot.png: the page after skinning the bundled sample, at
// the last three slots, the skin button and the messages.
// Usage: node screenshot.mjs   (after scripts/build-web and a release build)
import { rmSync } from 'node:fs';
import { join } from 'node:path';

import { launch, makeSample, openPage, sampleBitmaps, serve } from './tests/harness.mjs';

const kArguments = ['connectbmp', 'pointbmp1', 'pointbmp2', 'pointbmp3', 'wrapbmp', 'buttbmp',
  'ferrulebmp', 'shaftbmp', 'bumperbmp'];

const server = await serve();
const chromium = await launch();
const sample = makeSample();
try {
  const page = await openPage(chromium.browser, server.address);
  await page.setViewport({ width: 1100, height: 1250 });
  await (await page.$('[data-role="model"]')).uploadFile(join(sample, 'cueTemplate.obp'));
  for (const [index, argument] of kArguments.entries()) {
    await (await page.$(`[data-slot="${argument}"]`)).uploadFile(join(sample, sampleBitmaps[index]));
  }
  await page.waitForFunction(() => !document.querySelector('[data-role="skin"]').disabled);
  await page.click('[data-role="skin"]');
  await page.waitForSelector('[data-role="download"][href]');
  await page.$eval('[data-slot-card="ferrulebmp"]', (card) => card.scrollIntoView());
  await page.screenshot({ path: process.argv[2] ?? 'screenshot.png' });
} finally {
  await chromium.close();
  await server.close();
  rmSync(sample, { recursive: true, force: true });
}
