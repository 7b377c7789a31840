// The page tests' and benchmarks' shared part: Chromium launched as the
// project runs it, the page opened with its errors watched, and probes put
// into the page that read the canvas back (against references, and as the
// board's cells).
// Depends on: puppeteer-core, Debian's chromium.
'use strict';
const puppeteer = require('puppeteer-core');

const width = 555, height = 600, cell = 15;
const columns = 21, rows = 30;  // the board's interior, from cell (1, 1)

// The palette's colours, as webframes writes the cells.
const palette = [0x000000, 0x0000B0, 0x00B000, 0x008080, 0xB00000, 0x800080, 0xB06000, 0xC0C0C0,
                 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF];

// Headless Chromium (the new headless mode) with a fresh profile.
function launch(profile) {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--disable-quic'],
  });
}

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

function watchErrors(page, errors) {
  page.on('pageerror', e => errors.push('page error: ' + e.message));
  page.on('console', m => { if (m.type() === 'error') errors.push('console error: ' + m.text()); });
  page.on('requestfailed', r => errors.push('request failed: ' + r.url()));
}

// Polls `fn` in the page until it is true; false when `deadline` ms pass.
async function poll(page, deadline, fn, ...args) {
  try {
    await page.waitForFunction(fn, { timeout: deadline, polling: 50 }, ...args);
    return true;
  } catch (e) {
    return false;
  }
}

// A page of its own (a fresh browser context), its errors collected in
// `errors`, its probes in; with `silent`, a browser without Web Audio.
async function open(browser, url, errors, silent, deadline) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1200, height: 1400 });
  watchErrors(page, errors);
  if (silent) await page.evaluateOnNewDocument(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  await page.goto(url);
  if (!await poll(page, deadline, () => !document.getElementById('start').disabled)) throw new Error('no Start button');
  await page.evaluate(installProbes, palette, columns, rows, cell);
  return page;
}

module.exports = { width, height, cell, columns, rows, launch, open, poll };
