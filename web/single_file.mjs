// Writes the page as one file: index.html with page.css, page.mjs and the
// worker's script (the core, core.mjs and worker.mjs) inside it, so that it
// works opened from disk, where a browser loads no module or worker beside it.
// Usage: node single_file.mjs WEB_SOURCE_DIR CORE_JS OUTPUT_HTML
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [sourceDir, coreScript, output] = process.argv.slice(2);
const read = (name) => readFileSync(join(sourceDir, name), 'utf8');

// The worker runs as one classic script: the modules' imports of each other
// go, and what they export becomes a plain declaration.
function asClassicScript(source) {
  return source
    .replace(/^import [^;]* from '\.\/[\w.-]+';\n/gm, '')
    .replace(/^export default \w+;\n/gm, '')
    .replace(/^export /gm, '');
}

// Text inside a script or style element ends at its first closing tag, and
// an HTML comment opener inside a script changes where that is.
function inlined(text, tag) {
  if (text.toLowerCase().includes(`</${tag}`) || text.includes('<!--')) {
    throw new Error(`an inlined ${tag} holds </${tag}`);
  }
  return text;
}

const workerSource = [readFileSync(coreScript, 'utf8'), read('core.mjs'), read('worker.mjs')]
  .map(asClassicScript).join('\n');

let page = read('index.html');
const replaceOnce = (from, to) => {
  if (!page.includes(from)) throw new Error(`index.html lacks ${from}`);
  page = page.replace(from, () => to);
};
replaceOnce('<link rel="stylesheet" href="page.css">',
  `<style>\n${inlined(read('page.css'), 'style')}</style>`);
replaceOnce('<script type="module" src="page.mjs"></script>',
  `<script type="text/plain" id="worker-source">${inlined(workerSource, 'script')}</script>\n` +
  `<script type="module">\n${inlined(read('page.mjs'), 'script')}</script>`);
writeFileSync(output, page);
