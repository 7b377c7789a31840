// The browser build end to end: headless Chromium, driven over the DevTools
// protocol, plays the served page as a player would and holds the canvas
// against what the native program body draws (webframes): the title and
// the instructions every pixel, the keys 4 6 5 2 0 moving, turning and
// dropping the piece as they do natively, the board once it has landed,
// the game-over picture with the score, a second game after n, the end
// after another key; the sound check's console lines, with sound and
// without; and no JavaScript error on the page. Every wait polls with a
// generous deadline.
//
//   node page_e2e.js URL REFERENCE SILENT_REFERENCE PROFILE
// (the two folders webframes wrote, a fresh profile folder for Chromium)
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [url, refDir, silentDir, profile] = process.argv.slice(2);
const deadline = 60000 * Number(process.env.WAIT_SCALE || 1);
const width = 555, height = 600, cell = 15;
// The interior columns 1..21, rows 1..30; the next piece falls in its top
// rows while the landed board is compared.
const columns = 21, rows = 30, topRowsMasked = 12;
const landedMask = [cell, cell, cell * (columns + 1), cell * (topRowsMasked + 1)];

let checks = 0;
function ok(what) {
  checks++;
  console.log('ok ' + checks + ' - ' + what);
}
function fail(what) {
  console.log('FAIL: ' + what);
  process.exitCode = 1;
  throw new Error(what);
}

// The palette's colours, as webframes writes the cells.
const palette = [0x000000, 0x0000B0, 0x00B000, 0x008080, 0xB00000, 0x800080, 0xB06000, 0xC0C0C0,
                 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF];

// In the page: the canvas against references kept there.
function installProbes(palette, columns, rows, cell) {
  window.__refs = {};
  window.__setRef = (name, b64) => {
    const bin = atob(b64);
    const bytes = new Uint8Array(bin.length);
    for (let i = 0; i < bin.length; i++) bytes[i] = bin.charCodeAt(i);
    window.__refs[name] = bytes;
  };
  const pixels = () => {
    const c = document.getElementById('canvas');
    return c.getContext('2d').getImageData(0, 0, c.width, c.height);
  };
  // Pixels that differ from reference `name`, outside `mask` [x0, y0, x1, y1).
  window.__diff = (name, mask) => {
    const ref = window.__refs[name], img = pixels();
    if (img.width * img.height * 3 !== ref.length) return -1;
    let differ = 0;
    for (let y = 0; y < img.height; y++) {
      for (let x = 0; x < img.width; x++) {
        if (mask && x >= mask[0] && x < mask[2] && y >= mask[1] && y < mask[3]) continue;
        const i = (y * img.width + x) * 4, j = (y * img.width + x) * 3;
        if (img.data[i] !== ref[j] || img.data[i + 1] !== ref[j + 1] || img.data[i + 2] !== ref[j + 2]) differ++;
      }
    }
    return differ;
  };
  // The interior's cells as colour numbers in hex, a string a row.
  window.__cells = () => {
    const img = pixels(), out = [];
    for (let y = 1; y <= rows; y++) {
      let line = '';
      for (let x = 1; x <= columns; x++) {
        const i = ((y * cell + 8) * img.width + x * cell + 8) * 4;
        const rgb = img.data[i] << 16 | img.data[i + 1] << 8 | img.data[i + 2];
        const n = palette.indexOf(rgb);
        line += n < 0 ? '?' : n.toString(16);
      }
      out.push(line);
    }
    return out;
  };
}

// The rows from the first to the last that hold anything: a piece's shape
// and columns, whatever row it has fallen to.
function trimmed(cells) {
  const used = cells.map(r => /[^0]/.test(r));
  const first = used.indexOf(true), last = used.lastIndexOf(true);
  return first < 0 ? '' : cells.slice(first, last + 1).join('\n');
}
const topRow = cells => cells.findIndex(r => /[^0]/.test(r));

// The cells after each key, as webframes saw them.
function keyCells() {
  const blocks = {};
  let key = null;
  for (const line of fs.readFileSync(path.join(refDir, 'keys.txt'), 'latin1').split('\n')) {
    if (line.startsWith('# ')) blocks[key = line.slice(2)] = [];
    else if (line && key) blocks[key].push(line);
  }
  return blocks;
}

async function until(page, what, fn, ...args) {
  try {
    await page.waitForFunction(fn, { timeout: deadline, polling: 50 }, ...args);
  } catch (e) {
    fail('timed out waiting for ' + what);
  }
}

async function screenIs(page, name, mask) {
  try {
    await page.waitForFunction((n, m) => window.__diff(n, m) === 0, { timeout: deadline, polling: 100 }, name, mask);
  } catch (e) {
    const differ = await page.evaluate((n, m) => window.__diff(n, m), name, mask);
    fail(name + ': ' + differ + ' pixels differ from the native back buffer');
  }
  ok('the canvas is the native ' + name + ' screen, every pixel' + (mask ? ' below the falling piece' : ''));
}

function watchErrors(page, errors) {
  page.on('pageerror', e => errors.push('page error: ' + e.message));
  page.on('console', m => { if (m.type() === 'error') errors.push('console error: ' + m.text()); });
  page.on('requestfailed', r => errors.push('request failed: ' + r.url()));
}

async function open(browser, errors, silent) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1200, height: 1400 });
  watchErrors(page, errors);
  // A browser that cannot sound: no Web Audio at all.
  if (silent) await page.evaluateOnNewDocument(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  await page.goto(url);
  await until(page, 'the Start button', () => !document.getElementById('start').disabled);
  return page;
}

async function consoleStartsWith(page, file, what) {
  const want = fs.readFileSync(file, 'latin1');
  await until(page, what, w => document.getElementById('console').value.startsWith(w), want);
  ok(what);
}

async function press(page, key) {
  await page.keyboard.press(key);
}

async function play(page, keysToo) {
  await until(page, 'a piece four rows down', () => {
    const top = window.__cells().findIndex(r => /[^0]/.test(r));
    return top >= 4;
  });
  if (!keysToo) return;
  const want = keyCells();
  let before = await page.evaluate(() => window.__cells());
  for (const key of ['4', '6', '5', '2']) {
    await press(page, 'Digit' + key);
    const shape = trimmed(want[key]);
    await until(page, 'the piece after ' + key, s => {
      const cells = window.__cells(), used = cells.map(r => /[^0]/.test(r));
      return cells.slice(used.indexOf(true), used.lastIndexOf(true) + 1).join('\n') === s;
    }, shape);
    const after = await page.evaluate(() => window.__cells());
    if (key === '2' && topRow(after) <= topRow(before)) fail('2 did not take the piece down');
    ok(key + ' moves the piece as natively (shape and columns)');
    before = after;
  }
  await press(page, 'Digit0');
}

(async () => {
  const started = Date.now();
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,  // the new headless mode
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--disable-quic'],
  });
  const errors = [];
  try {
    const page = await open(browser, errors, false);
    await page.evaluate(installProbes, palette, columns, rows, cell);
    for (const name of ['title', 'instructions', 'landed', 'gameover']) {
      const b64 = fs.readFileSync(path.join(refDir, name + '.rgb')).toString('base64');
      await page.evaluate((n, b) => window.__setRef(n, b), name, b64);
    }
    await page.click('#start');
    await consoleStartsWith(page, path.join(refDir, 'console.txt'), 'the sound check says "Sound works fine!" as natively');
    await screenIs(page, 'title');
    await press(page, 'Space');
    await screenIs(page, 'instructions');
    await press(page, 'Space');
    await play(page, true);
    await screenIs(page, 'landed', landedMask);
    ok('0 dropped the piece where it lands natively');
    await press(page, 'KeyQ');
    await screenIs(page, 'gameover');
    await press(page, 'KeyN');
    await screenIs(page, 'title');
    ok('n starts a second game');
    await press(page, 'Space');
    await screenIs(page, 'instructions');
    await press(page, 'Space');
    await play(page, false);
    await press(page, 'KeyQ');
    await screenIs(page, 'gameover');
    await press(page, 'KeyX');
    await until(page, 'the end of the program', () => stackfallPage.stats.ended);
    const end = await page.evaluate(() => ({
      status: stackfallPage.stats.status,
      text: document.getElementById('status').textContent,
      again: !document.getElementById('again').hidden,
    }));
    if (end.status !== 0 || end.text !== 'Stack Fall has ended.' || !end.again)
      fail('the end: ' + JSON.stringify(end));
    ok('another key ends the program; the page says so and offers to play again');

    const silent = await open(browser, errors, true);
    await silent.click('#start');
    await consoleStartsWith(silent, path.join(silentDir, 'console.txt'),
                            'without Web Audio the sound check gives the silent lines as natively');
    if (errors.length) fail('the pages reported: ' + errors.join('; '));
    ok('no JavaScript error, failed request or unhandled rejection');
    console.log(checks + ' passed, 0 failed (' + ((Date.now() - started) / 1000).toFixed(1) + ' s)');
  } catch (e) {
    if (!process.exitCode) console.log('FAIL: ' + e.message);
    if (errors.length) console.log('the pages reported: ' + errors.join('; '));
    process.exitCode = 1;
  } finally {
    await browser.close();
  }
})();
