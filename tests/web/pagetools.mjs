// What the page's tests and its figures share: a static server for the page on 127.0.0.1,
// Debian's Chromium started headless with a fresh profile, the screen as the page last drew
// it, and the cost of an idle tab.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

// --- A static server: the page at /, the demos at /demos/ ---
const contentTypes = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.txt': 'text/plain; charset=utf-8', '.rec': 'text/plain',
};

export function serve(pageDir, demosDir = null) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    let file = decodeURIComponent(url.pathname);
    const demo = demosDir && file.startsWith('/demos/');
    const root = demo ? demosDir : pageDir;
    if (demo) file = file.slice('/demos'.length);
    if (file.endsWith('/')) file += 'index.html';
    const full = path.join(path.resolve(root), path.normalize(file));
    if (!full.startsWith(path.resolve(root) + path.sep) || !fs.existsSync(full) || !fs.statSync(full).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': contentTypes[path.extname(full)] || 'application/octet-stream',
                              'Cache-Control': 'no-store' });
    response.end(fs.readFileSync(full));
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () =>
    resolve({ url: 'http://127.0.0.1:' + server.address().port, close: () => server.close() })));
}

// --- The browser: Debian's Chromium, a fresh profile, nothing fetched from outside ---
export async function launch(extraArgs = [], options = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'brinewort-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', ...extraArgs],
    ...options,
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { browser, close };
}

export async function openPage(browser, site, query = '', viewport = { width: 1400, height: 1000 }) {
  const page = await browser.newPage();
  page.on('pageerror', error => console.log('page error: ' + error.message));
  page.on('console', message => {
    if (message.type() === 'error') console.log('page console: ' + message.text());
  });
  await page.setViewport(viewport);
  await page.goto(site.url + '/index.html' + query);
  return page;
}

// --- The screen, as the page last put it on the canvas ---
export const cellsOf = page => page.evaluate(() => window.brinewortTest.cells());

export function textAt(cells, x, y, length) {
  let text = '';
  for (let i = 0; i < length; i++) text += String.fromCharCode(cells[2 * ((y * 80) + x + i)]);
  return text;
}
export const colourAt = (cells, x, y) => cells[2 * ((y * 80) + x) + 1];

export async function waitForScreen(page, what, test, timeoutMillis = 60000) {
  const started = Date.now();
  for (;;) {
    const cells = await cellsOf(page);
    if (cells.length && test(cells)) return cells;
    if (Date.now() - started > timeoutMillis) {
      const rows = [];
      for (let y = 0; y < 25; y++) rows.push('  |' + textAt(cells, 0, y, 80).trimEnd());
      throw new Error('timed out waiting for ' + what + '; the screen:\n' + rows.join('\n'));
    }
    await new Promise(resolve => setTimeout(resolve, 100));
  }
}

export const menuShown = cells => textAt(cells, 35, 10, 8) === 'New Game' && textAt(cells, 35, 14, 4) === 'Quit';
export const waitForMenu = page => waitForScreen(page, 'the title menu', menuShown, 60000);

// The processor time Chromium's renderer processes use from now on: each call of the function
// returned gives the milliseconds since, summed over the processes alive at both moments (one
// that ends meanwhile, such as a closed tab's, would take its whole time away with it).
export async function rendererClock(browser) {
  const system = await browser.target().createCDPSession();
  const read = async () => {
    const { processInfo } = await system.send('SystemInfo.getProcessInfo');
    return new Map(processInfo.filter(info => info.type === 'renderer').map(info => [info.id, info.cpuTime * 1000]));
  };
  const start = await read();
  return async () => {
    let sum = 0;
    for (const [id, millis] of await read()) {
      if (start.has(id)) sum += millis - start.get(id);
    }
    return sum;
  };
}

// What the page and its tab cost: timers, frames and messages counted by wrapping the browser's
// own functions, the renderer's processor time from Chromium.
export async function idleCost(browser, site, seconds) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.scheduled = 0;
    const count = (owner, name) => {
      const original = owner[name];
      owner[name] = function (...args) {
        window.scheduled++;
        return original.apply(this, args);
      };
    };
    count(window, 'setTimeout');
    count(window, 'setInterval');
    count(window, 'requestAnimationFrame');
    count(MessagePort.prototype, 'postMessage');
  });
  await page.setViewport({ width: 1000, height: 700 });
  await page.goto(site.url + '/index.html');
  await page.click('#canvas');
  await waitForMenu(page);
  await new Promise(resolve => setTimeout(resolve, 1000));
  const before = { scheduled: await page.evaluate(() => window.scheduled),
                   frames: await page.evaluate(() => window.brinewortTest.frames()),
                   metrics: await page.metrics() };
  const rendererMillis = await rendererClock(browser);
  await new Promise(resolve => setTimeout(resolve, seconds * 1000));
  const after = { scheduled: await page.evaluate(() => window.scheduled),
                  frames: await page.evaluate(() => window.brinewortTest.frames()),
                  metrics: await page.metrics(), cpu: await rendererMillis() };
  await page.close();
  return {
    scheduled: after.scheduled - before.scheduled,
    frames: after.frames - before.frames,
    taskMillis: (after.metrics.TaskDuration - before.metrics.TaskDuration) * 1000,
    scriptMillis: (after.metrics.ScriptDuration - before.metrics.ScriptDuration) * 1000,
    cpuMillis: after.cpu,
  };
}
