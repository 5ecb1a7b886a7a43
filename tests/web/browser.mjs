// The page in Debian's Chromium, driven by puppeteer-core over a loopback
// server, for the browser tests and the benchmark; and heatplate-batch,
// whose files are what the page must give.
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../web/serve.mjs';

export const sourceDir = new URL('../..', import.meta.url).pathname;
export const siteDir = process.env.HEATPLATE_SITE || join(sourceDir, 'build/web');
export const batchProgram = process.env.HEATPLATE_BATCH || join(sourceDir, 'build/bin/heatplate-batch');

export function scratch() {
  return mkdtempSync(join(tmpdir(), 'heatplate-web-'));
}

// A fresh Chromium that never touches the network and downloads into a
// folder of its own, with the site served beside it.
export async function openBrowser() {
  const profile = scratch();
  const server = await serve(siteDir);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: [
      '--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      ...(process.getuid?.() === 0 ? ['--no-sandbox'] : []),
    ],
  });
  const downloads = join(profile, 'downloads');
  const cdp = await browser.target().createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', {
    behavior: 'allowAndName', downloadPath: downloads, eventsEnabled: true,
  });
  const finished = new Set();
  cdp.on('Browser.downloadProgress', (e) => e.state === 'completed' && finished.add(e.guid));
  const url = `http://127.0.0.1:${server.address().port}/`;
  return {
    browser,
    url,
    // Opens the page and waits until its controls are built.
    async page(ratio = 1) {
      const page = await browser.newPage();
      await page.setViewport({ width: 1024, height: 800, deviceScaleFactor: ratio });
      await page.evaluateOnNewDocument(() => {
        window.base64Of = (bytes) => {
          let text = '';
          for (let k = 0; k < bytes.length; k += 0x8000) {
            text += String.fromCharCode(...bytes.subarray(k, k + 0x8000));
          }
          return btoa(text);
        };
      });
      await page.goto(url);
      await page.waitForSelector('#Form1[data-state=idle]');
      return page;
    },
    // The bytes and name of the download that act starts.
    async download(act) {
      const begun = new Promise((done) => cdp.once('Browser.downloadWillBegin', done));
      await act();
      const { guid, suggestedFilename } = await begun;
      await new Promise((done) => {
        const check = () => (finished.has(guid) ? done() : setTimeout(check, 20));
        check();
      });
      return { name: suggestedFilename, bytes: readFileSync(join(downloads, guid)) };
    },
    async close() {
      await browser.close();
      server.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// heatplate-batch in a folder of its own, in the C locale: its status, its
// printed outputs and message, and its files.
export function runBatch(options, extra = []) {
  const dir = scratch();
  const args = Object.entries(options).flatMap(([name, value]) => [`--${name}`, value]);
  return new Promise((done) => {
    execFile(batchProgram, [...args, ...extra], { cwd: dir, env: { ...process.env, LC_ALL: 'C' } },
      (error, stdout, stderr) => {
        const read = (name) => { try { return readFileSync(join(dir, name)); } catch { return null; } };
        const printed = Object.fromEntries(stdout.split('\n').filter(Boolean).map((l) => l.split('=')));
        const message = stderr.replace(/^heatplate-batch: /, '').trim();
        done({ status: error ? error.code : 0, printed, message, read, dir });
      });
  });
}

// The RGBA pixels of a PNG, decoded by the page's own browser.
export async function pngPixels(page, bytes) {
  const rgba = await page.evaluate(async (base64) => {
    const blob = new Blob([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))]);
    const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    return [bitmap.width, bitmap.height, base64Of(context.getImageData(0, 0, bitmap.width, bitmap.height).data)];
  }, bytes.toString('base64'));
  return { width: rgba[0], height: rgba[1], data: Buffer.from(rgba[2], 'base64') };
}

// The RGBA pixels a picture's canvas shows.
export async function canvasPixels(page, name) {
  const rgba = await page.$eval(`#${name} canvas`, (canvas) => {
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    return [canvas.width, canvas.height, base64Of(data)];
  });
  return { width: rgba[0], height: rgba[1], data: Buffer.from(rgba[2], 'base64') };
}
