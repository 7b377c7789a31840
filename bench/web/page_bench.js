// The browser build's figures, in headless Chromium: Start pressed to the
// whole title on the canvas (five page loads); a key to the changed canvas
// pixels (100 keys in play, 4 and 6 in turn: from the key event's time
// stamp to the end of the putImageData that shows its move); and, for the
// CPU figure the shell script measures, a game left in play with no key.
// Prints lines "name value" for web_bench.sh.
//
//   node page_bench.js URL TITLE_RGB PROFILE IDLE_SECONDS
'use strict';
const fs = require('fs');
const { launch, open, poll } = require('../../tests/web/pagelib');

const [url, titleFile, profile, idleSeconds] = process.argv.slice(2);
const deadline = 60000;
const median = v => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const percentile = (v, p) => [...v].sort((a, b) => a - b)[Math.min(v.length - 1, Math.floor(v.length * p))];

async function must(page, what, fn, ...args) {
  if (!await poll(page, deadline, fn, ...args)) throw new Error('timed out waiting for ' + what);
}

// In the page: every present's end, for the key figure.
function recordPresents() {
  const present = stackfallPage.present;
  window.__presents = [];
  stackfallPage.present = function (...args) {
    present.apply(this, args);
    window.__presents.push(performance.now());
  };
  window.__keys = [];
  window.addEventListener('keydown', e => window.__keys.push(e.timeStamp), true);
}

async function toTitle(browser, title) {
  const page = await open(browser, url, [], false, deadline);
  await page.evaluate(b => window.__setRef('title', b), title);
  await page.click('#start');
  // The present that completed the title is the last one before it matched:
  // the title then waits for a key.
  await must(page, 'the title', () => window.__diff('title') === 0);
  const ms = await page.evaluate(() => stackfallPage.stats.lastPresentAt - stackfallPage.stats.startedAt);
  return { page, ms };
}

(async () => {
  const browser = await launch(profile);
  try {
    const title = fs.readFileSync(titleFile).toString('base64');
    const startToTitle = [];
    let page;
    for (let run = 0; run < 5; run++) {
      const r = await toTitle(browser, title);
      startToTitle.push(r.ms);
      if (run < 4) await r.page.browserContext().close();
      else page = r.page;
    }
    console.log('start_to_title_ms ' + median(startToTitle).toFixed(1));

    await page.evaluate(recordPresents);
    await page.keyboard.press('Space');
    await must(page, 'the instructions', () => window.__diff('title') > 1000);
    await page.keyboard.press('Space');
    await must(page, 'a piece', () => window.__cells().findIndex(r => /[^0]/.test(r)) >= 2);
    const latencies = [];
    for (let k = 0; k < 100; k++) {
      const before = await page.evaluate(() => window.__cells().join(''));
      await page.keyboard.press(k % 2 ? 'Digit6' : 'Digit4');
      // The move shows: the cells changed (a fall may change them too, but
      // the first present after the key is the key's in all but a few).
      await must(page, 'the move', b => window.__cells().join('') !== b, before);
      const ms = await page.evaluate(() => {
        const key = window.__keys[window.__keys.length - 1];
        const shown = window.__presents.find(t => t >= key);
        return shown === undefined ? null : shown - key;
      });
      if (ms !== null) latencies.push(ms);
    }
    console.log('key_to_pixels_median_ms ' + median(latencies).toFixed(2));
    console.log('key_to_pixels_p90_ms ' + percentile(latencies, 0.9).toFixed(2));
    console.log('key_samples ' + latencies.length);

    // In play with no key: the shell measures Chromium's CPU meanwhile. A
    // new game, so that the pieces fall from the top for the whole while.
    await page.keyboard.press('KeyQ');
    await must(page, 'the game over', () => window.__diff('title') > 1000 && window.__cells()[29] !== '000000000000000000000');
    await page.keyboard.press('KeyN');
    await must(page, 'the title', () => window.__diff('title') === 0);
    await page.keyboard.press('Space');
    await must(page, 'the instructions', () => window.__diff('title') > 1000);
    await page.keyboard.press('Space');
    await must(page, 'a piece', () => window.__cells().findIndex(r => /[^0]/.test(r)) >= 0);
    console.log('idle_begins');
    // Longer than the shell's window, which begins a little after this line.
    await new Promise(r => setTimeout(r, Number(idleSeconds) * 1000 + 5000));
    console.log('idle_ends');
  } finally {
    await browser.close();
  }
})().catch(e => {
  console.log('error ' + e.message);
  process.exitCode = 1;
});
