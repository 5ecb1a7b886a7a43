// The browser edition against heatplate-batch: for the same inputs the page
// shows the same outputs and pixels and offers the same files; it refuses
// and overflows with the batch's messages, Escape ends a long run with its
// results kept, the scroll bar turns the view with the desktop's keys, and
// the controls lie where the control table puts them.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { canvasPixels, openBrowser, pngPixels, runBatch, sourceDir } from './browser.mjs';

const boxes = {
  nx: 'Text_Nx', ny: 'Text_Ny', tw1: 'Text_Tw1', tw2: 'Text_Tw2', tw3: 'Text_Tw3',
  tw4: 'Text_Tw4', tfield: 'Text_Tfield', maxtime: 'Text_MaxTime', alfa: 'Text_Alfa',
};
// What each box holds when the page opens, as heatplate-batch takes it for
// a missing option.
const starts = { nx: '20', ny: '20', tw1: '100', tw2: '100', tw3: '100', tw4: '100', tfield: '0', maxtime: '50', alfa: '30' };
const pictures = { Picture_Paint: 'map', Picture_3DGraph: 'view3d', Picture3: 'residual' };

// Asymmetric plates of both methods, an input the run refuses and a run
// that overflows; heatplate-batch gives the answers.
const runs = [
  { nx: '7', ny: '12', tw1: '10', tw2: '250', tw3: '-40', tw4: '75.5', tfield: '3', maxtime: '90', method: 'explicit' },
  { nx: '33', ny: '9', tw1: '0', tw2: '1e3', tw3: '20abc', tw4: '-5', tfield: '12.5', maxtime: '240', alfa: '52.5', method: 'adi' },
  { nx: '2', ny: '101', tw1: '-7', tw2: '3', tw3: '0.25', tw4: '99', tfield: '40', maxtime: '37.9', alfa: '75', method: 'adi' },
  { nx: '1', ny: '9', maxtime: '10', method: 'explicit' },
  { nx: '9', ny: '4', tw1: '1e308', tw2: '1e308', tw3: '-1e308', maxtime: '500', method: 'explicit' },
];

let chromium;
let page;
before(async () => {
  chromium = await openBrowser();
  page = await chromium.page();
});
after(() => chromium?.close());

const value = (name) => page.$eval(`#${name}`, (e) => e.value);
const idle = () => page.waitForSelector('#Form1[data-state=idle]');

async function type(name, text) {
  await page.click(`#${name}`, { clickCount: 3 });
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
}

// The text of the message box, which Enter then closes.
async function message() {
  const box = await page.waitForSelector('[role=alertdialog]');
  const text = await box.$eval('p', (p) => p.textContent);
  await page.keyboard.press('Enter');
  await page.waitForSelector('[role=alertdialog]', { hidden: true });
  return text;
}

// Runs the inputs; resolves to the steps shown one display frame after the
// other, as t showed them.
async function calculate(inputs) {
  for (const [option, name] of Object.entries(boxes)) await type(name, inputs[option] ?? starts[option]);
  await page.click(inputs.method === 'adi' ? '#Option_ADI' : '#Option_Explicit');
  const shown = page.evaluate(() => new Promise((done) => {
    const t = document.querySelector('#Text_iTime');
    const seen = new Set();
    const before = t.value;
    let started = false;
    const look = () => {
      const running = document.querySelector('#Form1').dataset.state === 'running';
      seen.add(t.value);
      if (started && !running) done(seen.size - (seen.has(before) ? 1 : 0));
      else requestAnimationFrame(look);
      started ||= running;
    };
    requestAnimationFrame(look);
  }));
  await page.click('#Command1');
  await idle();
  return shown;
}

async function assertPicture(name, expected, label) {
  const shown = await canvasPixels(page, name);
  const want = await pngPixels(page, expected);
  assert.deepEqual([shown.width, shown.height], [want.width, want.height], label);
  assert.ok(shown.data.equals(want.data), `${label}: pixels differ`);
}

// Save Picture and Save Animation from the picture's menu: the mouse for
// the first, the keyboard for the second.
async function saved(name, entry) {
  return chromium.download(async () => {
    if (entry === 0) {
      await page.click(`#${name} canvas`, { button: 'right' });
      await page.keyboard.press('Enter');
    } else {
      await page.focus(`#${name} canvas`);
      await page.keyboard.down('Shift');
      await page.keyboard.press('F10');
      await page.keyboard.up('Shift');
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('Enter');
    }
  });
}

test('runs give heatplate-batch\'s outputs, pixels and files', async () => {
  let results = null;
  for (const inputs of runs) {
    const label = JSON.stringify(inputs);
    const { method, ...options } = inputs;
    const batch = await runBatch({ method, ...options }, ['--images', 'img', '--animate', 'anim']);
    const before = await canvasPixels(page, 'Picture_Paint');
    const shown = await calculate(inputs);
    if (batch.status !== 0) assert.equal(await message(), batch.message, label);
    if (batch.status === 2) {
      assert.ok((await canvasPixels(page, 'Picture_Paint')).data.equals(before.data), label);
      continue;
    }
    const t = batch.status === 0 ? batch.printed.t : batch.message.match(/step (\d+)/)[1];
    assert.equal(await value('Text_iTime'), t, label);
    // A run is seen evolving: at least 60 of its steps, or all, each a frame.
    if (batch.status === 0) assert.ok(shown >= Math.min(60, Number(t)), `${label}: ${shown} steps shown`);
    if (batch.status === 0) {
      // A method that leaves dx and dy alone leaves the last run's on the page.
      for (const [box, out] of [['Text_dx', 'dx'], ['Text_dy', 'dy'], ['Text_RMS', 'residual']]) {
        if (batch.printed[out]) assert.equal(await value(box), batch.printed[out], `${label} ${box}`);
      }
      results = batch.read('results.txt');
    } else {
      assert.equal(await value('Text_RMS'), 'overflow', label);
    }
    const file = await chromium.download(() => page.click('#results_txt'));
    assert.equal(file.name, 'results.txt');
    assert.ok(file.bytes.equals(results), `${label}: results.txt`);
    for (const [name, stem] of Object.entries(pictures)) {
      await assertPicture(name, batch.read(`img/${stem}.png`), `${label} ${name}`);
      const png = await saved(name, 0);
      assert.equal(png.name, `${stem}.png`);
      const pixels = await pngPixels(page, png.bytes);
      assert.ok(pixels.data.equals((await canvasPixels(page, name)).data), `${label} ${stem}.png`);
      const gif = await saved(name, 1);
      assert.equal(gif.name, `${stem}.gif`);
      assert.ok(gif.bytes.equals(batch.read(`anim/${stem}.gif`)), `${label} ${stem}.gif`);
    }
  }
});

test('Escape ends a long run after a step, its results kept', async () => {
  const inputs = { nx: '101', ny: '101', tw1: '0', tw2: '100', tw3: '30', tw4: '-20', maxtime: '1e6', method: 'explicit' };
  for (const [option, name] of Object.entries(boxes)) await type(name, inputs[option] ?? starts[option]);
  await page.click('#Command1');
  // Past the steps of every run before.
  await page.waitForFunction(() => Number(document.querySelector('#Text_iTime').value) > 1000);
  await page.keyboard.press('Escape');
  await idle();
  const t = await value('Text_iTime');
  assert.ok(Number(t) > 1000 && Number(t) < 1e6, t);
  const { method, ...options } = inputs;
  const batch = await runBatch({ method, ...options, maxtime: t }, ['--images', 'img']);
  const file = await chromium.download(() => page.click('#results_txt'));
  assert.ok(file.bytes.equals(batch.read('results.txt')), 'results.txt');
  await assertPicture('Picture_Paint', batch.read('img/map.png'), 'map');
  await assertPicture('Picture_3DGraph', batch.read('img/view3d.png'), 'view3d');
});

test('the scroll bar turns the 3-D view with the desktop\'s keys and the mouse', async () => {
  const inputs = { nx: '12', ny: '17', tw1: '5', tw2: '80', tw3: '-30', tw4: '40', tfield: '0', maxtime: '60', alfa: '30' };
  await calculate({ ...inputs, method: 'explicit' });
  await page.focus('#HScroll_Alfa');
  const steps = [
    ['ArrowRight', 31], ['ArrowDown', 32], ['ArrowLeft', 31], ['ArrowUp', 30], ['PageDown', 40],
    ['PageUp', 30], ['End', 90], ['ArrowRight', 90], ['Home', 10], ['ArrowLeft', 10],
    ['.more', 11], ['.less', 10], ['.trough', 20],
  ];
  for (const [act, angle] of steps) {
    if (act.startsWith('.')) {
      const part = await page.$(`#HScroll_Alfa ${act}`);
      const box = await part.boundingBox();
      await page.mouse.click(box.x + box.width - 2, box.y + box.height / 2);
    } else {
      await page.keyboard.press(act);
    }
    await page.waitForFunction((a) => document.querySelector('#Text_Alfa').value === a, {}, String(angle));
    assert.equal(await page.$eval('#HScroll_Alfa', (e) => e.getAttribute('aria-valuenow')), String(angle), act);
  }
  const batch = await runBatch({ method: 'explicit', ...inputs, alfa: '20' }, ['--images', 'img']);
  await assertPicture('Picture_3DGraph', batch.read('img/view3d.png'), 'view3d at 20 degrees');
});

// The control table as its source lists it: kind, name, container, place,
// tab stop, text and enabled.
function controlTable() {
  const source = readFileSync(join(sourceDir, 'run/control_table.cpp'), 'utf8');
  const entry = /\{K::(\w+),\s*"(\w+)",\s*"(\w+)",\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*"((?:[^"\\]|\\.)*)",\s*(true|false)/g;
  return [...source.matchAll(entry)].map((m) => ({
    kind: m[1], name: m[2], container: m[3], rect: m.slice(4, 8).map(Number),
    tab: Number(m[8]), text: JSON.parse(`"${m[9]}"`), enabled: m[10] === 'true',
  }));
}

test('each control lies where the control table puts it', async () => {
  const page = await chromium.page();
  const table = controlTable();
  assert.equal(table.length, 36);
  const form = await page.$eval('#Form1', (e) => [e.getBoundingClientRect().left, e.getBoundingClientRect().top]);
  const origin = { Form1: [0, 0] };
  for (const c of table) {
    const [left, top, width, height] = c.rect.map((twips) => Math.round(twips / 15));
    const inside = origin[c.container];
    const border = c.container.startsWith('Picture') ? 2 : 0;  // a picture box's sunken border
    const want = [inside[0] + border + left, inside[1] + border + top, width, height];
    origin[c.name] = want;
    const got = await page.$eval(`#${c.name}`, (e) => {
      const r = e.getBoundingClientRect();
      const focusable = e.matches('input, button, canvas') ? e : e.querySelector('input, canvas, [role=scrollbar]');
      const text = e.matches('input') ? e.value : e.matches('.Frame, .PictureBox, .HScrollBar') ? '' : e.textContent;
      return { rect: [r.left, r.top, r.width, r.height], text, tab: (focusable ?? e).tabIndex, disabled: !!e.disabled };
    });
    got.rect[0] -= form[0];
    got.rect[1] -= form[1];
    assert.deepEqual(got.rect, want, c.name);
    assert.equal(got.text, c.text, c.name);
    assert.equal(got.disabled, !c.enabled, c.name);
    if (!['Label', 'Frame'].includes(c.kind) && c.enabled) assert.equal(got.tab, c.tab + 1, c.name);
  }
});

test('the pictures have the screen\'s pixels at a device pixel ratio of 2', async () => {
  const sharp = await chromium.page(2);
  await sharp.click('#Command1');
  await sharp.waitForFunction(() => document.querySelector('#Text_iTime').value === '50');
  const size = await sharp.$eval('#Picture_Paint canvas', (c) => [c.width, c.height, c.getBoundingClientRect().width]);
  assert.deepEqual(size, [326, 326, 163]);
  await sharp.close();
});
