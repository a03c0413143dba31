// What the browser tests share: a local server for the site and the test programs (with or
// without the headers that isolate a page), headless Chromium, and reading the canvas.
import http from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
export const siteDir = process.env.PLOTVANE_WEB_SITE || path.join(root, 'build-web');
export const testsDir = process.env.PLOTVANE_WEB_TESTS || path.join(root, 'build-web-cmake/web-tests');

// The figures that the desktop's tests check too.
export const expectations = JSON.parse(fs.readFileSync(path.join(root, 'tests/expectations.json'), 'utf8'));
// Colours of the stock palette that the programs' named colours resolve to.
export const colors = Object.fromEntries(Object.entries(expectations.palette).map(([k, v]) => [k, Number(v)]));

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
                '.png': 'image/png', '.ttf': 'font/ttf' };

// Serves the site at / and the test programs at /tests/ on a free port of 127.0.0.1; the paths
// asked for are kept in `requests`, and those that `refuse` picks are answered 404.
export function serve({ isolated = true, refuse = () => false } = {}) {
  const requests = [];
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    requests.push(url);
    const [dir, rel] = url.startsWith('/tests/') ? [testsDir, url.slice(7)] : [siteDir, url.slice(1)];
    const file = path.join(dir, rel || 'index.html');
    if (refuse(url) || !file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    const headers = { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' };
    if (isolated) {
      headers['Cross-Origin-Opener-Policy'] = 'same-origin';
      headers['Cross-Origin-Embedder-Policy'] = 'require-corp';
    }
    res.writeHead(200, headers);
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    resolve({ url: `http://127.0.0.1:${server.address().port}/`, requests, close: () => server.close() });
  }));
}

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plotvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A program's page, with what it printed collected and its window shown.
export async function openProgram(browser, url, { width = 1000, height = 900 } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  const lines = [];
  page.on('console', (m) => lines.push(m.text()));
  await page.goto(url);
  await page.waitForFunction(() => window.plotvanePage.state !== 'loading' && window.plotvanePage.presented > 0 ||
                             ['unsupported', 'crashed', 'ended'].includes(window.plotvanePage.state), { timeout: 30000 });
  const box = await (await page.$('canvas')).boundingBox();
  const canvasWidth = await page.$eval('canvas', (c) => c.width);
  return { page, lines, box, scale: box ? box.width / canvasWidth : 1 };
}

// The pointer to client pixel (x, y): the middle of that pixel on the canvas as shown.
export async function moveTo(p, x, y) {
  await p.page.mouse.move(p.box.x + (x + 0.5) * p.scale, p.box.y + (y + 0.5) * p.scale);
}

// The canvas's picture: count(color, x0, y0, x1, y1) counts a colour in a rectangle (bounds
// included; the whole canvas by default), `same(other)` compares two pictures.
export async function shot(page) {
  const s = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const rgb = new Uint8Array(c.width * c.height * 3);
    for (let i = 0, j = 0; i < d.length; i += 4, j += 3) rgb.set(d.subarray(i, i + 3), j);
    let text = '';
    for (let i = 0; i < rgb.length; i += 0x8000) text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, rgb: btoa(text) };
  });
  const rgb = Buffer.from(s.rgb, 'base64');
  return {
    width: s.width,
    height: s.height,
    rgb,
    same: (other) => rgb.equals(other.rgb),
    count(color, x0 = 0, y0 = 0, x1 = s.width - 1, y1 = s.height - 1) {
      let n = 0;
      for (let y = y0; y <= y1; y++)
        for (let x = x0; x <= x1; x++) {
          const i = (y * s.width + x) * 3;
          if (((rgb[i] << 16) | (rgb[i + 1] << 8) | rgb[i + 2]) === color) n++;
        }
      return n;
    },
  };
}

// FNV-1a over a picture's red, green and blue bytes, as tests/support/text_scene.h computes it.
export function pictureChecksum(s) {
  let h = 2166136261;
  for (const b of s.rgb) h = Math.imul(h ^ b, 16777619) >>> 0;
  return h;
}

// Polls the canvas until `pred` holds (or the time is up) and returns the last picture.
export async function shotWhen(page, pred, timeoutMs = 8000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const s = await shot(page);
    if (pred(s) || Date.now() > end) return s;
    await new Promise((r) => setTimeout(r, 50));
  }
}

export function waitForState(page, state, timeoutMs = 8000) {
  return page.waitForFunction((s) => window.plotvanePage.state === s, { timeout: timeoutMs }, state)
    .then(() => page.evaluate(() => ({ ...window.plotvanePage })));
}

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
