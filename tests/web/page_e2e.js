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
const { cell, columns, launch, open: openPage, poll } = require('./pagelib');

const [url, refDir, silentDir, profile] = process.argv.slice(2);
const deadline = 60000 * Number(process.env.WAIT_SCALE || 1);
// The next piece falls in the interior's top rows while the landed board is
// compared.
const topRowsMasked = 12;
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



// The rows from the first to the last that hold anything: a piece's shape
// and columns, whatever row it has fallen to.
function trimmed(cells) {
  const used = cells.map(r => /[^0]/.test(r));
  const first = used.indexOf(true), last = used.lastIndexOf(true);
  return first < 0 ? '' : cells.slice(first, last + 1).join('\n');
}

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


async function screenIs(page, name, mask) {
  try {
    await page.waitForFunction((n, m) => window.__diff(n, m) === 0, { timeout: deadline, polling: 100 }, name, mask);
  } catch (e) {
    const differ = await page.evaluate((n, m) => window.__diff(n, m), name, mask);
    fail(name + ': ' + differ + ' pixels differ from the native back buffer');
  }
  ok('the canvas is the native ' + name + ' screen, every pixel' + (mask ? ' below the falling piece' : ''));
}



async function until(page, what, fn, ...args) {
  if (!await poll(page, deadline, fn, ...args)) fail('timed out waiting for ' + what);
}

const open = (browser, errors, silent) => openPage(browser, url, errors, silent, deadline);

async function consoleStartsWith(page, file, what) {
  const want = fs.readFileSync(file, 'latin1');
  await until(page, what, w => document.getElementById('console').value.startsWith(w), want);
  ok(what);
}

async function press(page, key) {
  await page.keyboard.press(key);
}

const pieceTop = () => window.__cells().findIndex(r => /[^0]/.test(r));

// 2 takes the piece one row down at once: pressed just after a fall, it
// shows well before the next (half a second later). A machine too busy to
// tell gets another try at the next fall.
async function oneRowDown(page) {
  for (let attempt = 0; attempt < 5; attempt++) {
    const row = await page.evaluate(pieceTop);
    await until(page, 'a fall', r => window.__cells().findIndex(l => /[^0]/.test(l)) > r, row);
    const fallen = await page.evaluate(pieceTop);
    const pressed = Date.now();
    await press(page, 'Digit2');
    await until(page, 'the piece after 2', r => window.__cells().findIndex(l => /[^0]/.test(l)) > r, fallen);
    if (Date.now() - pressed < 250 && await page.evaluate(pieceTop) === fallen + 1) return;
  }
  fail('2 did not take the piece one row down before the next fall');
}

async function play(page, keysToo) {
  await until(page, 'a piece four rows down', () => {
    const top = window.__cells().findIndex(r => /[^0]/.test(r));
    return top >= 4;
  });
  if (!keysToo) return;
  const want = keyCells();
  for (const key of ['4', '6', '5', '2']) {
    if (key === '2') await oneRowDown(page);
    else await press(page, 'Digit' + key);
    const shape = trimmed(want[key]);
    await until(page, 'the piece after ' + key, s => {
      const cells = window.__cells(), used = cells.map(r => /[^0]/.test(r));
      return cells.slice(used.indexOf(true), used.lastIndexOf(true) + 1).join('\n') === s;
    }, shape);
    ok(key + ' moves the piece as natively (shape and columns)');
  }
  await press(page, 'Digit0');
}

(async () => {
  const started = Date.now();
  const browser = await launch(profile);
  const errors = [];
  try {
    const page = await open(browser, errors, false);
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
