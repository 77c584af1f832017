// Opens a rendered readme in Debian's Chromium and checks what a reader sees:
// every picture loads (page background, title row, section headings,
// screenshots), the section headings stand in the expected order, and
// Cyrillic reads as Cyrillic. Keeps a PNG of the page.
//
//   node readme_check.mjs READMEPATH SHOT.png 'HEADING1|HEADING2|...' SCREENSHOT_COUNT

import { chromium } from 'playwright-core';
import { pathToFileURL } from 'node:url';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const [readme, shot, headingList, screenshotCount] = process.argv.slice(2);
const expectedHeadings = headingList.split('|');
const profile = mkdtempSync(join(tmpdir(), 'qs-chromium-'));
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         `--user-data-dir=${profile}`],
});
try {
  const page = await browser.newPage({ viewport: { width: 1000, height: 800 } });
  const failed = [];
  page.on('requestfailed', (r) => failed.push(r.url()));
  await page.goto(pathToFileURL(readme).href, { waitUntil: 'load' });

  const seen = await page.evaluate(async () => {
    const load = (src) => new Promise((resolve) => {
      const img = new Image();
      img.onload = () => resolve(img.naturalWidth > 0);
      img.onerror = () => resolve(false);
      img.src = src;
    });
    const cssUrl = (el) => {
      const m = el && getComputedStyle(el).backgroundImage.match(/url\("?(.*?)"?\)/);
      return m ? m[1] : '';
    };
    const backgrounds = {
      page: document.body.background ? new URL(document.body.background, document.baseURI).href : '',
      title: cssUrl(document.querySelector('td.line_title')),
      heading: cssUrl(document.querySelector('td.line_head')),
    };
    const loaded = {};
    for (const [k, v] of Object.entries(backgrounds)) loaded[k] = v !== '' && await load(v);
    return {
      backgrounds, loaded,
      images: [...document.images].map((i) => ({ src: i.src, ok: i.complete && i.naturalWidth > 0 })),
      headings: [...document.querySelectorAll('td.line_head')].map((td) => td.innerText.trim()),
      title: document.querySelector('td.line_title')?.innerText ?? '',
      text: document.body.innerText,
    };
  });

  for (const [k, ok] of Object.entries(seen.loaded)) check(ok, `background of the ${k} does not load: ${seen.backgrounds[k]}`);
  check(seen.images.length === Number(screenshotCount), `expected ${screenshotCount} screenshots, found ${seen.images.length}`);
  for (const img of seen.images) check(img.ok, `screenshot does not load: ${img.src}`);
  check(JSON.stringify(seen.headings) === JSON.stringify(expectedHeadings),
        `headings ${JSON.stringify(seen.headings)} != ${JSON.stringify(expectedHeadings)}`);
  check(/MORROWIND/.test(seen.title), 'title row lost its text');
  check(/Установка/.test(seen.text) && /Скопировать папку Data Files/.test(seen.text), 'Cyrillic does not read as Cyrillic');
  check(failed.length === 0, `failed requests: ${failed.join(', ')}`);

  await page.screenshot({ path: shot, fullPage: true });
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}

if (failures.length) {
  console.error('browser check failed:\n  ' + failures.join('\n  '));
  process.exit(1);
}
console.log('browser check: all pictures load, sections in order, Cyrillic readable');
