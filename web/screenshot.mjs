// Writes the README's pictures of the page after skinning the bundled sample:
// web/screenshot.png, the top of the page at desktop width, and
// web/screenshot-phone.png, from the cue drawing down at a phone's width.
// Usage: node screenshot.mjs   (after scripts/build-web and a release build)
import { launch, openPage, singleFile } from './tests/harness.mjs';

const kViews = [
  { path: 'screenshot.png', width: 1100, height: 900, from: 'body' },
  { path: 'screenshot-phone.png', width: 390, height: 844, from: '#cue-heading' },
];

const chromium = await launch();
try {
  for (const view of kViews) {
    const page = await openPage(chromium.browser, singleFile);
    await page.setViewport({ width: view.width, height: view.height });
    await page.click('[data-role="sample"]');
    await page.waitForFunction(() => !document.querySelector('[data-role="skin"]').disabled);
    await page.click('[data-role="skin"]');
    await page.waitForSelector('[data-role="download"][href]');
    await page.waitForFunction(() => [...document.querySelectorAll('[data-part] .swatch')]
      .every((swatch) => swatch.style.backgroundImage));
    await page.$eval(view.from, (element) => element.scrollIntoView());
    await page.screenshot({ path: view.path });
    await page.close();
  }
} finally {
  await chromium.close();
}
