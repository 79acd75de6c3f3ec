// The page around the game: the canvas, scaled by whole device pixels and centred on black;
// the keyboard, queued for the game as the browser reports it; the waits the game's backend
// (src/web/webplatform.cpp) makes through Asyncify; replays from ?replay=URL or a dropped file;
// and a small hook for the tests (window.brinewortTest).
'use strict';

const screenWide = 640;
const screenHigh = 400;
const cellBytes = 80 * 25 * 2;

let current = null; // the page object of the running game; an older one is detached
const tests = {
  replayResult: null, // a promise of the replay's outcome, once a replay starts
  ended: null,        // a promise of the program's exit status
  frames: 0,          // pictures put on the canvas so far
};

// --- The canvas: whole device pixels per font pixel, centred on black ---
// The game's 640x400 picture is kept on a canvas of its own; the one shown covers the screen
// area at one backing pixel per device pixel (as the browser reports them, whatever the zoom)
// and gets the picture scaled by a whole number, without smoothing.
const picture = document.createElement('canvas');
picture.width = screenWide;
picture.height = screenHigh;
const pictureContext = picture.getContext('2d', { alpha: false });

function showPicture() {
  const canvas = document.getElementById('canvas');
  const context = canvas.getContext('2d', { alpha: false });
  const wide = canvas.width, high = canvas.height;
  // Below one device pixel per font pixel the picture can only be shrunk to fit.
  let scale = Math.floor(Math.min(wide / screenWide, high / screenHigh));
  if (scale < 1) scale = Math.min(wide / screenWide, high / screenHigh);
  const shownWide = Math.round(screenWide * scale), shownHigh = Math.round(screenHigh * scale);
  context.fillStyle = '#000';
  context.fillRect(0, 0, wide, high);
  context.imageSmoothingEnabled = scale < 1;
  context.drawImage(picture, Math.floor((wide - shownWide) / 2), Math.floor((high - shownHigh) / 2),
                    shownWide, shownHigh);
}

// The canvas' size in device pixels: as the browser reports them, unless that is its size in
// CSS pixels at a ratio other than one (an emulated screen, a browser without the report).
function resizeCanvas(entry) {
  const canvas = document.getElementById('canvas');
  const ratio = window.devicePixelRatio || 1;
  let wide = Math.round(entry.contentRect.width * ratio);
  let high = Math.round(entry.contentRect.height * ratio);
  const device = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
  if (device && Math.abs(device.inlineSize - wide) <= 1 && Math.abs(device.blockSize - high) <= 1) {
    wide = device.inlineSize;
    high = device.blockSize;
  }
  if (canvas.width === wide && canvas.height === high) return;
  canvas.width = wide;
  canvas.height = high;
  showPicture();
}

function watchSize() {
  const canvas = document.getElementById('canvas');
  const observer = new ResizeObserver(entries => resizeCanvas(entries[entries.length - 1]));
  try {
    observer.observe(canvas, { box: 'device-pixel-content-box' });
  } catch (error) {
    observer.observe(canvas); // a browser that reports no device pixels: CSS pixels times the ratio
  }
}

function showStatus(text, link) {
  const status = document.getElementById('status');
  status.textContent = text;
  if (link) {
    const anchor = document.createElement('a');
    anchor.href = link.href;
    anchor.textContent = link.text;
    status.append(' ', anchor);
  }
}

function playAgainLink() {
  return { href: location.pathname, text: 'Play' };
}

// --- One run of the game: what its backend calls as Module.page ---
function makePage(instanceName) {
  const keys = [];   // key events not yet taken by the game
  let wake = null;   // ends the game's wait for a key, while it waits
  let picture = 0;   // where the game's picture is in its memory
  let cells = 0;     // and the cells it shows
  let framePending = false;
  let firstFrame = true;
  let module = null;
  const channel = new MessageChannel(); // a turn for the browser without a timer
  const page = {
    detached: false,   // another game or replay has taken the canvas
    over: false,       // the program has ended
    replayDone: false, // the replay has said how it ended
    shownCells: new Uint8Array(cellBytes),
    attach(instance) { module = instance; },
    detach() { page.detached = true; wake = null; },

    showFrame(pictureAt, cellsAt) {
      if (page.detached) return;
      picture = pictureAt;
      cells = cellsAt;
      if (framePending) return;
      framePending = true;
      requestAnimationFrame(() => {
        framePending = false;
        if (page.detached || !module) return;
        // The memory may have grown since: its buffer is looked up now.
        const bytes = new Uint8ClampedArray(module.HEAPU8.buffer, picture, screenWide * screenHigh * 4);
        pictureContext.putImageData(new ImageData(bytes, screenWide, screenHigh), 0, 0);
        showPicture();
        page.shownCells.set(module.HEAPU8.subarray(cells, cells + cellBytes));
        tests.frames++;
        if (firstFrame) {
          firstFrame = false;
          performance.mark('brinewort-first-frame');
        }
      });
    },

    takeKey() {
      return page.detached ? null : keys.shift() || null;
    },

    pushKey(event) {
      if (page.over) return; // nobody will take it
      keys.push(event);
      if (wake) wake();
    },

    wait(millis, wakeOnKey) {
      return new Promise(resolve => {
        if (page.detached) return; // an abandoned game waits for ever
        let timer = null;
        const done = () => {
          if (timer !== null) clearTimeout(timer);
          wake = null;
          channel.port1.onmessage = null;
          resolve();
        };
        if (wakeOnKey) wake = done;
        if (millis === 0) {
          channel.port1.onmessage = done;
          channel.port2.postMessage(null);
        } else if (millis > 0) {
          timer = setTimeout(done, millis);
        }
      });
    },

    setTitle(title) {
      if (!page.detached) document.title = title;
    },

    reportError(line) {
      console.error(line);
      if (!page.detached) showStatus(line);
    },

    ended(status) {
      page.over = true;
      if (page.detached) return;
      // An error shown stays, with the way back to a game.
      const shown = document.getElementById('status').textContent;
      if (!instanceName) {
        showStatus(status === 0 || !shown ? 'The game has ended.' : shown, playAgainLink());
      } else if (!page.replayDone) {
        // The replay never began (a speed the game refused, say).
        showStatus(shown, playAgainLink());
        tests.resolveReplay({ outcome: 'refused', message: shown, checkpoint: '', checkpointsPassed: 0 });
      }
      tests.resolveEnded(status);
    },

    replayEnded(result) {
      if (page.detached) return;
      page.replayDone = true;
      showStatus('Replay of ' + instanceName + ': ' + result.message + ' (' +
                 result.checkpointsPassed + ' checkpoints held).', playAgainLink());
      tests.resolveReplay(result);
    },
  };
  return page;
}

// --- Starting a game, or a replay ---
function start(replay) {
  if (current) current.detach();
  const page = makePage(replay ? replay.name : '');
  current = page;
  tests.ended = new Promise(resolve => { tests.resolveEnded = resolve; });
  if (!replay) tests.replayResult = null;
  showStatus(replay ? 'Replaying ' + replay.name + ': Space pauses, q stops.' : '');
  const path = replay ? '/recordings/' + replay.name : '';
  createBrinewort({
    page,
    arguments: replay ? ['--replay', path, '--speed', replay.speed] : [],
    preRun: [module => {
      if (!replay) return;
      module.FS.mkdir('/recordings');
      module.FS.writeFile(path, replay.bytes);
    }],
    printErr: line => console.error(line),
    onAbort: what => showStatus('The game stopped: ' + what, playAgainLink()),
  }).then(instance => page.attach(instance));
  document.getElementById('canvas').focus();
}

// A replay is on its way (its file is being read or fetched): the tests' hook waits for it.
function expectReplay() {
  tests.replayResult = new Promise(resolve => { tests.resolveReplay = resolve; });
}

// A recording's name as a file name of the page's own: its last part, plain characters only.
function recordingName(text) {
  const last = text.split(/[\\/]/).pop().replace(/[?#].*$/, '');
  const plain = last.replace(/[^A-Za-z0-9._-]/g, '_');
  return plain && plain !== '.' && plain !== '..' ? plain : 'recording.rec';
}

async function startReplayFrom(url, speed) {
  expectReplay();
  let bytes;
  try {
    const response = await fetch(url);
    if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
    bytes = new Uint8Array(await response.arrayBuffer());
  } catch (error) {
    const message = 'The recording ' + url + ' cannot be fetched: ' + error.message;
    showStatus(message, playAgainLink());
    tests.resolveReplay({ outcome: 'refused', message, checkpoint: '', checkpointsPassed: 0 });
    return;
  }
  start({ name: recordingName(url), bytes, speed });
}

// --- The keyboard: the canvas takes it on a click and keeps the page from scrolling ---
function listenToKeys() {
  const canvas = document.getElementById('canvas');
  let enterIsPages = false; // Alt+Enter's Enter is the page's, its release too
  const onKey = (event, down) => {
    if (!current || event.ctrlKey || event.metaKey || event.isComposing) return; // the browser's
    if (event.key === 'Enter' && (event.altKey || (!down && enterIsPages))) {
      event.preventDefault();
      enterIsPages = down;
      if (down && !event.repeat) toggleFullScreen();
      return;
    }
    if (event.altKey || event.key === 'F11') return; // the browser's own
    // Arrows, space, Tab and Backspace act on the game alone; function keys reach the game
    // and still do what the browser does with them (F5 reloads).
    if (!/^F[0-9]+$/.test(event.key)) event.preventDefault();
    current.pushKey({
      key: event.key,
      code: event.code,
      shift: event.shiftKey,
      caps: event.getModifierState('CapsLock'),
      down,
    });
  };
  canvas.addEventListener('keydown', event => onKey(event, true));
  canvas.addEventListener('keyup', event => onKey(event, false));
  // Keys held while the canvas loses the keyboard are let go; nothing typed before is lost.
  canvas.addEventListener('blur', () => {
    document.body.classList.remove('playing');
    if (current) current.pushKey({ blur: true });
  });
  canvas.addEventListener('focus', () => document.body.classList.add('playing'));
  document.getElementById('screen').addEventListener('pointerdown', event => {
    event.preventDefault();
    canvas.focus();
  });
}

function toggleFullScreen() {
  const area = document.getElementById('screen');
  const done = () => document.getElementById('canvas').focus();
  if (document.fullscreenElement) {
    document.exitFullscreen().then(done, done);
  } else if (area.requestFullscreen) {
    area.requestFullscreen().then(done, done);
  }
}

function listenToDrops() {
  document.addEventListener('dragover', event => event.preventDefault());
  document.addEventListener('drop', async event => {
    event.preventDefault();
    const file = event.dataTransfer && event.dataTransfer.files[0];
    if (!file) return;
    expectReplay();
    const bytes = new Uint8Array(await file.arrayBuffer());
    start({ name: recordingName(file.name), bytes, speed: document.getElementById('speed').value });
  });
}

function startPage() {
  watchSize();
  listenToKeys();
  listenToDrops();
  document.getElementById('fullscreen').addEventListener('click', toggleFullScreen);
  const query = new URLSearchParams(location.search);
  const speed = query.get('speed') || document.getElementById('speed').value;
  if (query.has('speed')) document.getElementById('speed').value = speed;
  if (query.get('replay')) startReplayFrom(query.get('replay'), speed);
  else start(null);
}

// For the tests: the cells last put on the canvas, and the picture's pixels as base64.
window.brinewortTest = {
  replayResult: () => tests.replayResult,
  ended: () => tests.ended,
  frames: () => tests.frames,
  cells: () => Array.from(current ? current.shownCells : []),
  shown: () => new Promise(resolve => requestAnimationFrame(() => {
    const data = pictureContext.getImageData(0, 0, screenWide, screenHigh).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    }
    resolve({ cells: Array.from(current ? current.shownCells : []), pixels: btoa(text) });
  })),
};
