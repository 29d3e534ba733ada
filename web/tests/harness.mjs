// What the browser tests and the benchmark share: the page served on
// loopback, headless Chromium, and the native programs that say what the
// page must produce.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, extname, join, normalize, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

export const repository = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const site = process.env.TINTROD_WEB_SITE ?? join(repository, 'build/web');
// The single file as a user opens it, by double-click.
export const singleFile = pathToFileURL(join(site, 'tintrod.html')).href;
const nativeBuild = process.env.TINTROD_NATIVE_BUILD ?? join(repository, 'build/release');
export const native = {
  tintrod: join(nativeBuild, 'tool/tintrod'),
  extract: join(nativeBuild, 'extract/tintrod-extract'),
  sample: join(nativeBuild, 'sample/tintrod-sample'),
  prepare: join(nativeBuild, 'prepare/tintrod-prepare'),
};

// The sample's bitmaps in command-line order.
export const sampleBitmaps = ['connect', 'point1', 'point2', 'point3', 'wrap', 'butt', 'ferrule',
  'shaft', 'bumper'].map((name) => `${name}.bmp`);

const kTypes = {
  '.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm',
};

// Serves `root` on 127.0.0.1 at a free port and records every path asked for.
export async function serve(root = site) {
  const requests = [];
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    requests.push(path);
    const file = normalize(join(root, path === '/' ? 'index.html' : path));
    try {
      if (!file.startsWith(root)) throw new Error('outside');
      const body = readFileSync(file);
      response.writeHead(200, { 'content-type': kTypes[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  const address = `http://127.0.0.1:${server.address().port}/`;
  return { address, requests, close: () => new Promise((done) => server.close(done)) };
}

// The browsers the page is tested in, each as installed by the system
// (TINTROD_BROWSERS=chromium picks one).
const kBrowsers = {
  chromium: () => ({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  }),
  firefox: () => ({
    browser: 'firefox',
    executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr',
    args: [],
  }),
};

export const browserNames = (process.env.TINTROD_BROWSERS ??
  (existsSync(process.env.FIREFOX ?? '/usr/bin/firefox-esr') ? 'chromium,firefox' : 'chromium'))
  .split(',');

export async function launch(name = 'chromium') {
  const profile = mkdtempSync(join(tmpdir(), `tintrod-${name}-`));
  const browser = await puppeteer.launch({
    ...kBrowsers[name](),
    headless: true,
    userDataDir: profile,
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A fresh folder holding the bundled sample: the template and nine bitmaps.
export function makeSample() {
  const folder = mkdtempSync(join(tmpdir(), 'tintrod-web-'));
  execFileSync(native.sample, [folder], { stdio: 'ignore' });
  return folder;
}

// Runs a native program in `folder`: {status, stdout}.
export function runNative(program, args, folder) {
  try {
    const stdout = execFileSync(program, args, { cwd: folder, encoding: 'utf8' });
    return { status: 0, stdout };
  } catch (error) {
    return { status: error.status, stdout: error.stdout };
  }
}

// Opens the page in a context of its own, so that no test finds what another
// left in the browser's storage, and waits until its core is running.
// `page.outsideRequests` lists every request that left the browser.
export async function openPage(browser, address) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.outsideRequests = [];
  page.on('request', (request) => {
    if (/^(https?|wss?):/.test(request.url())) page.outsideRequests.push(request.url());
  });
  page.on('close', () => context.close().catch(() => {}));
  await page.goto(address);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}
