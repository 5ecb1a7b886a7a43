// The browser edition's speed beside the native program's: a 101 x 101 run
// of each method in headless Chromium, the pictures shown at the display's
// rate and recorded for the animations, against the same run of
// heatplate-batch with its pictures saved. Medians of --reps runs, taken
// alternately so that both see the same machine.
//   node bench/web.mjs [--steps N] [--reps N]    (after bash scripts/test)
import { execFileSync } from 'node:child_process';
import { rmSync } from 'node:fs';
import { join } from 'node:path';
import { batchProgram, openBrowser, scratch } from '../tests/web/browser.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? Number(args[at + 1]) : fallback;
};
const steps = option('--steps', 20000);
const reps = option('--reps', 7);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// Seconds of one page run, from the press to the end.
async function pageRun(page, method) {
  await page.click(method === 'adi' ? '#Option_ADI' : '#Option_Explicit');
  return page.evaluate(() => new Promise((done) => {
    const form = document.getElementById('Form1');
    const start = performance.now();
    new MutationObserver((_, observer) => {
      if (form.dataset.state === 'idle') {
        observer.disconnect();
        done((performance.now() - start) / 1000);
      }
    }).observe(form, { attributes: true });
    document.getElementById('Command1').click();
  }));
}

// Seconds of the same run of heatplate-batch, its pictures saved.
function nativeRun(method) {
  const dir = scratch();
  const start = process.hrtime.bigint();
  execFileSync(batchProgram, ['--nx', '101', '--ny', '101', '--maxtime', String(steps), '--method', method,
    '--images', join(dir, 'img')], { cwd: dir, stdio: 'ignore' });
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  rmSync(dir, { recursive: true, force: true });
  return seconds;
}

const chromium = await openBrowser();
const page = await chromium.page();
for (const [box, text] of [['Text_Nx', '101'], ['Text_Ny', '101'], ['Text_MaxTime', String(steps)]]) {
  await page.$eval(`#${box}`, (e, t) => { e.value = t; }, text);
}
console.log(`101 x 101, ${steps} steps, medians of ${reps} runs (steps per second)`);
console.log('method    browser   native   native / browser');
for (const method of ['explicit', 'adi']) {
  const browser = [];
  const native = [];
  await pageRun(page, method);  // warm-up: the engine compiled, the caches filled
  for (let k = 0; k < reps; ++k) {
    browser.push(await pageRun(page, method));
    native.push(nativeRun(method));
  }
  const b = steps / median(browser);
  const n = steps / median(native);
  console.log(`${method.padEnd(9)} ${Math.round(b).toString().padStart(7)} ${Math.round(n).toString().padStart(8)}   ${(n / b).toFixed(2)} x`);
}
await chromium.close();
