// Compares what a reader sees of the readme in Chromium with what they see of
// the Markdown as cmark renders it: section by section, each heading and the
// text under it, whitespace runs taken as one blank. The readme's title
// banner is the template's own and has no Markdown counterpart.
//
//   node markdown_check.mjs README.htm MARKDOWN.html

import { chromium } from 'playwright-core';
import { pathToFileURL } from 'node:url';

const [readme, markdown] = process.argv.slice(2);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const tidy = (s) => s.replace(/\s+/g, ' ').trim();
try {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(readme).href, { waitUntil: 'load' });
  const fromReadme = await page.evaluate(() =>
    [...document.querySelectorAll('td.line_head')].map((head) => {
      const body = head.closest('tr').nextElementSibling.querySelector('td.line_body');
      return [head.innerText, body.innerText];
    }));
  await page.goto(pathToFileURL(markdown).href, { waitUntil: 'load' });
  const fromMarkdown = await page.evaluate(() => {
    const sections = [];
    for (const node of document.body.children) {
      if (/^H[1-6]$/.test(node.tagName)) sections.push([node.innerText, '']);
      else if (sections.length) sections[sections.length - 1][1] += ' ' + node.innerText;
    }
    return sections;
  });
  const a = fromReadme.map(([h, b]) => [tidy(h), tidy(b)]);
  const b = fromMarkdown.map(([h, t]) => [tidy(h), tidy(t)]);
  let failures = 0;
  if (a.length !== b.length) {
    console.error(`sections: readme ${a.length}, Markdown ${b.length}`);
    failures++;
  }
  for (let i = 0; i < Math.min(a.length, b.length); i++)
    for (const part of [0, 1])
      if (a[i][part] !== b[i][part]) {
        console.error(`section ${i + 1} ${part ? 'body' : 'heading'}:\n  readme:   ${a[i][part]}\n  Markdown: ${b[i][part]}`);
        failures++;
      }
  process.exitCode = failures ? 1 : 0;
} finally {
  await browser.close();
}
