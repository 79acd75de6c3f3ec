// The page's figures for BENCHMARKS.md: what a visitor downloads, compressed as a server
// would send it; the time from navigation to the first drawn frame in headless Chromium;
// the processor an idle tab uses, beside a blank page's.
// Usage: node bench/page_figures.mjs PAGE_DIR   (the page's tests' node modules installed:
// npm ci in tests/web)
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { idleCost, launch, rendererClock, serve } from '../tests/web/pagetools.mjs';

const pageDir = process.argv[2];
if (!pageDir) {
  console.log('usage: node bench/page_figures.mjs PAGE_DIR');
  process.exit(2);
}

async function figures(browser, site) {
  let raw = 0, gzip = 0, brotli = 0;
  for (const name of fs.readdirSync(pageDir).sort()) {
    const bytes = fs.readFileSync(path.join(pageDir, name));
    const gzipped = zlib.gzipSync(bytes, { level: 9 }).length;
    const brotlied = zlib.brotliCompressSync(bytes, { params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
    console.log(name.padEnd(18) + String(bytes.length).padStart(9) + ' bytes, gzip ' + String(gzipped).padStart(7) +
                ', brotli ' + String(brotlied).padStart(7));
    raw += bytes.length;
    gzip += gzipped;
    brotli += brotlied;
  }
  console.log('total'.padEnd(18) + String(raw).padStart(9) + ' bytes, gzip ' + String(gzip).padStart(7) +
              ', brotli ' + String(brotli).padStart(7));
  const seconds = 60;
  const cost = await idleCost(browser, site, seconds);
  console.log('idle ' + seconds + ' s at the title menu: renderer ' + cost.cpuMillis.toFixed(0) + ' ms of processor (' +
              (cost.cpuMillis / seconds / 10).toFixed(2) + '% of a core), ' + cost.taskMillis.toFixed(1) +
              ' ms of tasks, ' + cost.scriptMillis.toFixed(1) + ' ms of script, ' + cost.scheduled + ' timers/frames/messages, ' + cost.frames + ' frames drawn');
  // The same browser showing a black page with a canvas and no script, for comparison.
  const blank = await browser.newPage();
  await blank.setViewport({ width: 1000, height: 700 });
  await blank.setContent('<body style="background:#000"><canvas width="640" height="400"></canvas></body>');
  await new Promise(resolve => setTimeout(resolve, 1000));
  const rendererMillis = await rendererClock(browser);
  await new Promise(resolve => setTimeout(resolve, seconds * 1000));
  const blankMillis = await rendererMillis();
  await blank.close();
  console.log('idle ' + seconds + ' s, a blank page for comparison: renderer ' + blankMillis.toFixed(0) +
              ' ms of processor (' + (blankMillis / seconds / 10).toFixed(2) + '% of a core)');
  const firstFrames = [];
  for (let run = 0; run < 7; run++) {
    const context = await browser.createBrowserContext(); // nothing cached
    const page = await context.newPage();
    await page.goto(site.url + '/index.html');
    firstFrames.push(await page.evaluate(() => new Promise(resolve => {
      const look = () => {
        const mark = performance.getEntriesByName('brinewort-first-frame')[0];
        if (mark) resolve(mark.startTime);
        else setTimeout(look, 20);
      };
      look();
    })));
    await context.close();
  }
  firstFrames.sort((a, b) => a - b);
  console.log('navigation to first frame, ms: ' + firstFrames.map(ms => ms.toFixed(0)).join(' ') +
              ' (median ' + firstFrames[3].toFixed(0) + ')');
}

const site = await serve(pageDir);
const { browser, close } = await launch();
try {
  await figures(browser, site);
} finally {
  await close();
  site.close();
}
