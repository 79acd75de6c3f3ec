// The page (src/web/) in headless Chromium, driven by puppeteer-core against a static server
// started here on 127.0.0.1 (pagetools.mjs): what the canvas shows, the keys, the save in the
// browser's storage, the demos replayed, an idle tab. bench/page_figures.mjs measures it.
//
// Usage: node page_test.mjs CASE PAGE_DIR DEMOS_DIR [WINDOW_RENDER]
//   CASE: title_pixels (needs WINDOW_RENDER, the window's picture of cells, and a display),
//         quit_farewell, save_continue, demo_replays, idle
// CHROMIUM names the browser (default /usr/bin/chromium). Exits 0 when the case holds.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { cellsOf, colourAt, idleCost, launch, openPage, rendererClock, serve, textAt, waitForMenu,
         waitForScreen } from './pagetools.mjs';

const [caseName, pageDir, demosDir, windowRender] = process.argv.slice(2);
const screenWide = 640;
const screenHigh = 400;
const farewellText = 'where are you goin?  Fine, ';
const colourChosen = 240;

let failures = 0;
function check(condition, what) {
  if (condition) return;
  failures++;
  console.log('FAIL: ' + what);
}

// Presses a key and waits until the screen shows its effect (the screens drop keys typed ahead).
async function pressUntil(page, key, what, test, timeoutMillis = 60000) {
  await page.keyboard.press(key);
  return waitForScreen(page, what, test, timeoutMillis);
}

const tavernShown = cells => textAt(cells, 2, 18, 11) === ' World Map ';
const tavernChosen = (cells, entry) => colourAt(cells, 3, 18 + entry) === colourChosen;

// --- Pictures: the PPM the window's renderer writes, and Chromium's PNG screenshots ---
function readPpm(file) {
  const bytes = fs.readFileSync(file);
  const header = bytes.subarray(0, 15).toString('latin1');
  if (header !== 'P6\n640 400\n255\n') throw new Error(file + ': not a 640x400 PPM');
  return bytes.subarray(15);
}

function decodePng(bytes) {
  let at = 8;
  let width = 0, height = 0, channels = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('an 8-bit, non-interlaced PNG was expected');
      channels = { 2: 3, 6: 4 }[body[9]];
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; i++) {
      const left = i >= channels ? line[i - channels] : 0;
      const up = previous[i];
      const upLeft = i >= channels ? previous[i - channels] : 0;
      let add = 0;
      if (filter === 1) add = left;
      else if (filter === 2) add = up;
      else if (filter === 3) add = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - upLeft;
        const pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - upLeft);
        add = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
      }
      line[i] = (line[i] + add) & 0xff;
    }
    for (let x = 0; x < width; x++) line.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = line;
  }
  return { width, height, rgb };
}

// The window's picture of the cells the page shows (the renderer runs on the display given).
function windowPicture(cells) {
  const directory = fs.mkdtempSync(path.join(os.tmpdir(), 'brinewort-cells-'));
  const cellsFile = path.join(directory, 'cells');
  const pictureFile = path.join(directory, 'window.ppm');
  fs.writeFileSync(cellsFile, Buffer.from(cells));
  execFileSync(windowRender, [cellsFile, pictureFile], { stdio: 'inherit' });
  const picture = readPpm(pictureFile);
  fs.rmSync(directory, { recursive: true, force: true });
  return picture;
}

// --- The cases ---
const cases = {};

// The title menu: the canvas holds the window's pixels of the same cells; on screen, at page
// zooms from 100% to 400%, every font pixel is a square of whole device pixels, the screen
// centred on black, the keys line in view and nothing to scroll.
cases.title_pixels = async (browser, site) => {
  const page = await openPage(browser, site);
  await page.click('#canvas');
  await waitForMenu(page);
  const shown = await page.evaluate(() => window.brinewortTest.shown());
  const reference = windowPicture(shown.cells);
  const canvas = Buffer.from(shown.pixels, 'base64');
  let wrong = -1;
  for (let i = 0; i < screenWide * screenHigh && wrong < 0; i++) {
    const same = canvas[4 * i] === reference[3 * i] && canvas[4 * i + 1] === reference[3 * i + 1] &&
                 canvas[4 * i + 2] === reference[3 * i + 2] && canvas[4 * i + 3] === 255;
    if (!same) wrong = i;
  }
  check(wrong < 0, 'canvas pixel ' + (wrong % screenWide) + ',' + Math.floor(wrong / screenWide) +
        ' differs from the window\'s picture of the same cells');

  // Page zoom as the page sees it: fewer CSS pixels, more device pixels to each.
  for (const zoom of [1, 1.5, 2, 3, 4]) {
    await page.setViewport({ width: Math.round(1400 / zoom), height: Math.round(1000 / zoom),
                             deviceScaleFactor: zoom });
    await checkScreenOnDisplay(page, reference, 'at ' + zoom * 100 + '%: ');
  }
  // A screen of 2.5 device pixels to the CSS pixel, as the browser itself reports it.
  const { browser: dense, close } = await launch(['--force-device-scale-factor=2.5', '--window-size=900,600'],
                                                 { defaultViewport: null });
  try {
    const densePage = (await dense.pages())[0];
    await densePage.goto(site.url + '/index.html');
    await waitForMenu(densePage);
    const denseShown = await densePage.evaluate(() => window.brinewortTest.shown());
    await checkScreenOnDisplay(densePage, windowPicture(denseShown.cells), 'on a 2.5x screen: ');
  } finally {
    await close();
  }
};

// On screen, every font pixel is a square of whole device pixels showing the reference, the
// picture centred on black; the keys line is in view and the page does not scroll.
async function checkScreenOnDisplay(page, reference, label) {
  await page.evaluate(() => new Promise(resolve => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  const layout = await page.evaluate(() => {
    const rect = element => element.getBoundingClientRect().toJSON();
    return { screen: rect(document.getElementById('screen')), keys: rect(document.getElementById('keys')),
             innerHeight, scrollHeight: document.scrollingElement.scrollHeight, ratio: devicePixelRatio };
  });
  const shot = decodePng(await page.screenshot({ type: 'png' }));
  const ratio = layout.ratio;
  check(layout.keys.y + layout.keys.height <= layout.innerHeight + 0.5 && layout.scrollHeight <= layout.innerHeight,
        label + 'the keys line is out of view, or the page scrolls');
  // The screen area in device pixels, and where the picture should be in it: the largest
  // whole scale that fits, centred (give or take a device pixel of the area's own edges).
  const area = { left: Math.round(layout.screen.x * ratio), top: Math.round(layout.screen.y * ratio),
                 right: Math.round((layout.screen.x + layout.screen.width) * ratio),
                 bottom: Math.round((layout.screen.y + layout.screen.height) * ratio) };
  const scale = Math.floor(Math.min((area.right - area.left) / screenWide, (area.bottom - area.top) / screenHigh));
  check(scale >= 1, label + 'no room for the screen at one device pixel per font pixel');
  const pictureAt = (left, top) => {
    for (let y = area.top; y < area.bottom; y++) {
      for (let x = area.left; x < area.right; x++) {
        const inside = x >= left && x < left + scale * screenWide && y >= top && y < top + scale * screenHigh;
        const at = (y * shot.width + x) * 3;
        const from = inside ? (Math.floor((y - top) / scale) * screenWide + Math.floor((x - left) / scale)) * 3 : -1;
        for (let c = 0; c < 3; c++) {
          if (shot.rgb[at + c] !== (inside ? reference[from + c] : 0)) return x + ',' + y + (inside ? ' on the screen' : ' around it');
        }
      }
    }
    return null;
  };
  const left = area.left + Math.floor((area.right - area.left - scale * screenWide) / 2);
  const top = area.top + Math.floor((area.bottom - area.top - scale * screenHigh) / 2);
  let bad = pictureAt(left, top);
  for (const [dx, dy] of [[1, 0], [0, 1], [1, 1], [-1, 0], [0, -1], [-1, -1], [1, -1], [-1, 1]]) {
    if (bad && !pictureAt(left + dx, top + dy)) bad = null;
  }
  check(!bad, label + 'device pixel ' + bad + ' is not what the window shows (scale ' + scale + ')');
}

// Up, Enter at the title menu quits; the canvas keeps the farewell; the arrows and space never
// reach the page itself. A damaged font stops the page before its game.
cases.quit_farewell = async (browser, site) => {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.keysLeftToPage = [];
    document.addEventListener('keydown', event => {
      if (!event.defaultPrevented) window.keysLeftToPage.push(event.key);
    });
  });
  await page.setViewport({ width: 1000, height: 700 });
  await page.goto(site.url + '/index.html');
  await page.click('#canvas');
  await waitForMenu(page);
  await page.keyboard.press('Space');
  await pressUntil(page, 'ArrowUp', 'Quit chosen', cells => colourAt(cells, 35, 14) === colourChosen);
  await page.keyboard.press('Enter');
  const status = await page.evaluate(() => window.brinewortTest.ended());
  check(status === 0, 'the game ended with status ' + status);
  const cells = await page.evaluate(() => new Promise(resolve =>
    requestAnimationFrame(() => resolve(window.brinewortTest.cells()))));
  check(textAt(cells, 12, 20, farewellText.length) === farewellText && colourAt(cells, 12, 20) === 4,
        'the farewell is not on the canvas: "' + textAt(cells, 12, 20, farewellText.length) + '"');
  const statusLine = await page.$eval('#status', element => element.textContent);
  check(statusLine.includes('The game has ended'), 'the page says: ' + statusLine);
  const left = await page.evaluate(() => window.keysLeftToPage);
  check(!left.includes(' ') && !left.includes('ArrowUp') && !left.includes('Enter'),
        'keys the game took went to the page as well: ' + left.join(', '));

  // A page whose font arrives damaged says so and starts no game (status 2).
  const damaged = await browser.newPage();
  await damaged.setRequestInterception(true);
  damaged.on('request', request => {
    if (!request.url().endsWith('/brinewort.data')) return request.continue();
    const script = fs.readFileSync(path.join(pageDir, 'brinewort.js'), 'latin1');
    const [, start, end] = script.match(/"filename":"\/font\/[^"]*\.pcf","start":(\d+),"end":(\d+)/);
    const bytes = fs.readFileSync(path.join(pageDir, 'brinewort.data'));
    bytes.fill(0, Number(start), Number(end));
    return request.respond({ status: 200, contentType: 'application/octet-stream', body: bytes });
  });
  await damaged.goto(site.url + '/index.html');
  const ended = await damaged.evaluate(() => Promise.race([window.brinewortTest.ended(),
    new Promise(resolve => setTimeout(() => resolve('none within 20 s'), 20000))]));
  const said = await damaged.$eval('#status', element => element.textContent);
  check(ended === 2 && said.includes("the page's font"), 'a damaged font: status ' + ended + ', ' + said);
  await damaged.close();
};

// New Game, the story, the tavern, Save; the status screen; a reload and Continue show the same
// status screen. A second Save the browser will not keep says so in the tavern and leaves the
// kept save as it was.
cases.save_continue = async (browser, site) => {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    let refuse = false;
    window.refuseStorage = () => { refuse = true; };
    const transaction = IDBDatabase.prototype.transaction;
    IDBDatabase.prototype.transaction = function (...how) {
      if (refuse) throw new DOMException('the storage is full', 'QuotaExceededError');
      return transaction.apply(this, how);
    };
  });
  await page.setViewport({ width: 1000, height: 700 });
  await page.goto(site.url + '/index.html');
  await page.click('#canvas');
  await waitForMenu(page);
  const pageTyped = cells => textAt(cells, 0, 0, 80 * 25).includes('(Enter)');
  // The first page is turned by an Enter typed ahead, the second wants one after its typing.
  await pressUntil(page, 'Enter', 'the first story page', pageTyped, 90000);
  await pressUntil(page, 'Enter', 'the second story page begun', cells => !pageTyped(cells));
  // Keys typed while the second page types are dropped just after its last character.
  await pressUntil(page, 'Enter', 'the second story page', cells => pageTyped(cells) &&
                   textAt(cells, 0, 0, 80 * 25).includes('bartender'), 90000);
  await new Promise(resolve => setTimeout(resolve, 500));
  check(!tavernShown(await cellsOf(page)), 'an Enter typed while the story typed turned its page');
  await pressUntil(page, 'Enter', 'the tavern', tavernShown);
  for (let entry = 1; entry <= 3; entry++) {
    await pressUntil(page, 'ArrowDown', 'tavern entry ' + entry, cells => tavernChosen(cells, entry));
  }
  await pressUntil(page, 'Enter', 'Progress Saved', cells => textAt(cells, 10, 13, 14) === 'Progress Saved');
  await waitForScreen(page, 'the talk area cleared', cells => textAt(cells, 10, 13, 14) === ' '.repeat(14));
  const showStatus = async () => {
    await pressUntil(page, 'ArrowDown', 'Status chosen', cells => tavernChosen(cells, 4));
    const status = await pressUntil(page, 'Enter', 'the status screen',
                                    cells => textAt(cells, 49, 23, 23) === 'Press space to continue');
    await pressUntil(page, 'Space', 'the tavern again', tavernShown);
    return status;
  };
  const saved = await showStatus();

  await pressUntil(page, 'ArrowUp', 'Save chosen', cells => tavernChosen(cells, 3));
  await page.evaluate(() => window.refuseStorage());
  const refused = await pressUntil(page, 'Enter', 'Cannot save game',
                                   cells => textAt(cells, 10, 13, 16) === 'Cannot save game');
  const reason = textAt(refused, 10, 14, 60).trim();
  check(reason.includes('the browser did not keep it'), 'the reason given: ' + reason);

  await page.reload();
  await page.click('#canvas');
  await waitForMenu(page);
  await pressUntil(page, 'ArrowDown', 'Continue chosen', cells => colourAt(cells, 35, 11) === colourChosen);
  await pressUntil(page, 'Enter', 'the tavern after Continue', tavernShown);
  for (let entry = 1; entry <= 3; entry++) {
    await pressUntil(page, 'ArrowDown', 'tavern entry ' + entry, cells => tavernChosen(cells, entry));
  }
  const continued = await showStatus();
  check(JSON.stringify(continued) === JSON.stringify(saved),
        'the status screen after Continue differs from the one saved:\n' +
        textAt(saved, 0, 5, 80) + '\n' + textAt(continued, 0, 5, 80));
};

// Each demo replays in the page, at full speed, to every recorded checkpoint; a recording
// dropped on the page replays too.
cases.demo_replays = async (browser, site) => {
  const demos = fs.readdirSync(demosDir).filter(name => name.endsWith('.rec')).sort();
  check(demos.length > 0, 'no demos in ' + demosDir);
  for (const name of demos) {
    const text = fs.readFileSync(path.join(demosDir, name), 'latin1');
    const checkpoints = text.split('\n').filter(line => line.startsWith('c ')).length;
    const started = Date.now();
    const page = await openPage(browser, site, '?replay=demos/' + name + '&speed=max');
    const result = await page.evaluate(() => window.brinewortTest.replayResult());
    console.log(name + ': ' + result.outcome + ', ' + result.checkpointsPassed + ' of ' + checkpoints +
                ' checkpoints, ' + (Date.now() - started) + ' ms');
    check(result.outcome === 'finished' && result.checkpointsPassed === checkpoints,
          name + ': ' + result.message + ' at checkpoint ' + result.checkpoint);
    const status = await page.evaluate(() => window.brinewortTest.ended());
    check(status === 0, name + ': a replay that finished ended with status ' + status);
    await page.close();
  }
  // Dropped on a page where a game runs: the game gives way to the replay. Then one whose
  // first state checkpoint says another random state, which the replay must not reach.
  const name = demos[demos.length - 1];
  // The bytes as they are: a recording's screens are UTF-8.
  const demo = fs.readFileSync(path.join(demosDir, name));
  const dropped = await dropRecording(browser, site, name, demo.toString('base64'));
  check(dropped.result.outcome === 'finished' && dropped.status === 0,
        'dropped ' + name + ': ' + dropped.result.message + ', status ' + dropped.status);
  const altered = demo.toString('latin1').replace(/^(c [^\n]* rand=)(\d+)/m, (line, start, rand) =>
    start + String((Number(rand) + 1) % 4294967296));
  const diverged = await dropRecording(browser, site, name, Buffer.from(altered, 'latin1').toString('base64'));
  check(diverged.result.outcome === 'diverged' && diverged.status === 1,
        'an altered ' + name + ': ' + diverged.result.outcome + ', status ' + diverged.status);
};

// A recording dropped on a page where a game runs, replayed at full speed: how it ended, and
// the program's exit status.
async function dropRecording(browser, site, name, bytes) {
  const page = await openPage(browser, site);
  await page.select('#speed', 'max');
  const result = await page.evaluate(async (name, bytes) => {
    const files = new DataTransfer();
    files.items.add(new File([Uint8Array.from(atob(bytes), ch => ch.charCodeAt(0))], name));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: files, bubbles: true, cancelable: true }));
    for (;;) {
      const result = window.brinewortTest.replayResult();
      if (result) return result;
      await new Promise(resolve => setTimeout(resolve, 50));
    }
  }, name, bytes);
  const status = await page.evaluate(() => window.brinewortTest.ended());
  await page.close();
  return { result, status };
}

// An idle tab at the title menu: no timer, no frame, no message for 5 s; a paced replay idles
// between its keys.
cases.idle = async (browser, site) => {
  const cost = await idleCost(browser, site, 5);
  console.log('idle 5 s: ' + JSON.stringify(cost));
  check(cost.scheduled === 0, cost.scheduled + ' timers, frames or messages were scheduled');
  check(cost.frames === 0, cost.frames + ' frames were drawn');
  // A replay at the recorded pace waits out the player's pauses instead of spinning through them.
  const demo = fs.readdirSync(demosDir).filter(name => name.endsWith('.rec')).sort()[0];
  const replay = await openPage(browser, site, '?replay=demos/' + demo + '&speed=1');
  await new Promise(resolve => setTimeout(resolve, 2000));
  const rendererMillis = await rendererClock(browser);
  await new Promise(resolve => setTimeout(resolve, 4000));
  const busy = await rendererMillis();
  console.log(demo + ' paced, 4 s: ' + Math.round(busy) + ' ms of the processor');
  check(busy < 2000, 'a paced replay kept the processor busy ' + Math.round(busy) + ' ms of 4000');
  await replay.close();
};

if (!cases[caseName] || !pageDir || !demosDir || (caseName === 'title_pixels' && !windowRender)) {
  console.log('usage: node page_test.mjs ' + Object.keys(cases).join('|') + ' PAGE_DIR DEMOS_DIR [WINDOW_RENDER]');
  process.exit(2);
}
const site = await serve(pageDir, demosDir);
const { browser, close } = await launch();
try {
  await cases[caseName](browser, site);
} catch (error) {
  failures++;
  console.log('FAIL: ' + (error.stack || error));
} finally {
  await close();
  site.close();
}
process.exit(failures === 0 ? 0 : 1);
