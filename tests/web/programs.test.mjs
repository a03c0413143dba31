// The six programs, a program that prints its input and one that crashes, in headless
// Chromium: the same checks, with the same figures, as the end-to-end tests in a real X window
// (tests/e2e), made on the page's canvas.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { serve, launch, openProgram, moveTo, shot, shotWhen, waitForState, sleep, colors } from './browser.mjs';

const { black, grey, red, white, yellow } = colors;
let server, browser;

before(async () => {
  server = await serve();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  server?.close();
});

async function expectEndsWithStatusZero(page) {
  const state = await waitForState(page, 'ended');
  assert.equal(state.exitStatus, 0);
  assert.match(await page.$eval('#status', (s) => s.textContent), /has ended.*Start again/s);
}

async function expectStillRunningAfterClose(page) {
  await page.click('#close');
  await sleep(300);
  assert.equal(await page.evaluate(() => window.plotvanePage.state), 'running');
}

test('thicklens: rays follow the pointer in the left half, Space changes the outline, the close button is ignored, Esc ends', async () => {
  const p = await openProgram(browser, server.url + 'thicklens.html');
  assert.equal(await p.page.$eval('#caption', (c) => c.textContent), 'KALDEROV');
  await moveTo(p, 150, 250);
  const rays = await shotWhen(p.page, (s) => s.count(red) > 1000);
  assert.equal(rays.width, 800);
  assert.equal(rays.height, 600);
  assert.ok(rays.count(red) > 1000);
  assert.ok(rays.count(white, 360, 170, 440, 430) > 200);
  assert.equal(rays.count(white, 0, 0, 350, 599), 0);

  await moveTo(p, 600, 300);
  const none = await shotWhen(p.page, (s) => s.count(red) === 0);
  assert.equal(none.count(red), 0);

  await p.page.keyboard.press('Space');
  const elliptic = await shotWhen(p.page, (s) => !s.same(none));
  assert.ok(!elliptic.same(none));
  assert.ok(elliptic.count(white) > 200);

  await expectStillRunningAfterClose(p.page);
  await p.page.keyboard.press('Escape');
  await expectEndsWithStatusZero(p.page);
  await p.page.close();
});

test('magnifier: the faces follow the keys, the close button is ignored, Esc ends', async () => {
  const p = await openProgram(browser, server.url + 'magnifier.html');
  await moveTo(p, 120, 300);
  const start = await shotWhen(p.page, (s) => s.count(grey) > 3000 && s.count(red) > 500);
  assert.ok(start.count(grey, 330, 160, 470, 440) > 3000);
  assert.equal(start.count(grey, 0, 0, 300, 599), 0);
  assert.ok(start.count(red) > 500);

  await p.page.keyboard.press('4');
  await p.page.keyboard.press('8');
  const flat = await shotWhen(p.page, (s) => s.count(grey) < 400);
  assert.ok(flat.count(grey) < 400);
  assert.equal(flat.count(grey, 0, 0, 395, 599), 0);

  await expectStillRunningAfterClose(p.page);
  await p.page.keyboard.press('Escape');
  await expectEndsWithStatusZero(p.page);
  await p.page.close();
});

test('flashlight: shadows follow the lamp; a key ends it', async () => {
  const p = await openProgram(browser, server.url + 'flashlight.html');
  await moveTo(p, 120, 420);
  const lit = await shotWhen(p.page, (s) => s.count(yellow, 100, 400, 140, 440) > 100);
  assert.ok(lit.count(yellow, 100, 400, 140, 440) > 100);
  assert.ok(lit.count(grey) > 50000);
  assert.ok(lit.count(black) > 20000);
  assert.ok(lit.count(white) > 500);

  await moveTo(p, 700, 80);
  const moved = await shotWhen(p.page, (s) => s.count(yellow, 680, 60, 720, 100) > 100);
  assert.equal(moved.count(yellow, 100, 400, 140, 440), 0);

  await p.page.keyboard.press('x');
  await expectEndsWithStatusZero(p.page);
  await p.page.close();
});

test('mirrorrays: reflections, prolongations while a button is held, a key ends it', async () => {
  const p = await openProgram(browser, server.url + 'mirrorrays.html');
  await moveTo(p, 400, 300);
  const reflected = await shotWhen(p.page, (s) => s.count(white) > 1000);
  assert.ok(reflected.count(white, 500, 100, 500, 499) > 350);
  assert.equal(reflected.count(white, 502, 0, 799, 599), 0);

  await p.page.mouse.down();
  const behind = await shotWhen(p.page, (s) => s.count(white, 502, 0, 799, 599) > 500);
  assert.ok(behind.count(white, 502, 0, 799, 599) > 500);
  assert.ok(behind.count(white, 795, 296, 799, 303) > 3);
  await p.page.mouse.up();
  const released = await shotWhen(p.page, (s) => s.count(white, 502, 0, 799, 599) === 0);
  assert.equal(released.count(white, 502, 0, 799, 599), 0);

  await p.page.keyboard.press('Enter');
  await expectEndsWithStatusZero(p.page);
  await p.page.close();
});

test('lightbeam: the beam follows the pointer; a key ends it', async () => {
  const p = await openProgram(browser, server.url + 'lightbeam.html');
  await moveTo(p, 400, 300);
  const beam = await shotWhen(p.page, (s) => s.count(grey) > 2000 && s.count(red) > 300);
  assert.ok(beam.count(grey) > 2000);
  assert.ok(beam.count(red) > 300);
  assert.ok(beam.count(white) > 20);

  await moveTo(p, 100, 500);
  const steep = await shotWhen(p.page, (s) => s.count(red, 600, 0, 799, 599) === 0);
  assert.equal(steep.count(red, 600, 0, 799, 599), 0);
  assert.ok(steep.count(red) > 100);

  await p.page.keyboard.press('a');
  await expectEndsWithStatusZero(p.page);
  await p.page.close();
});

test('shadow: rays mark the obstacles they cross; a key ends it', async () => {
  const p = await openProgram(browser, server.url + 'shadow.html');
  await moveTo(p, 400, 300);
  const marked = await shotWhen(p.page, (s) => s.count(yellow) > 50);
  assert.ok(marked.count(white) > 50 * 40);
  assert.ok(marked.count(yellow) > 50);

  await p.page.keyboard.press('q');
  await expectEndsWithStatusZero(p.page);
  await p.page.close();
});

test('flashlight, lightbeam and shadow end on the close button', async () => {
  for (const program of ['flashlight', 'lightbeam', 'shadow']) {
    const p = await openProgram(browser, server.url + program + '.html');
    await p.page.click('#close');
    await expectEndsWithStatusZero(p.page);
    await p.page.close();
  }
});

// The codes a program reads, from what inputcodes printed.
function codesIn(lines, kind) {
  return lines.filter((l) => l.startsWith(kind + ' ')).map((l) => l.split(' ').slice(1).map(Number));
}
async function waitForLines(p, kind, count, timeoutMs = 5000) {
  const end = Date.now() + timeoutMs;
  while (codesIn(p.lines, kind).length < count && Date.now() < end) await sleep(20);
  return codesIn(p.lines, kind);
}

test('keys reach a program as the same codes as on X', async () => {
  const p = await openProgram(browser, server.url + 'tests/inputcodes.html');
  const k = p.page.keyboard;
  await k.press('a');
  await k.press('Escape');
  await k.press('ArrowUp');
  for (const [modifier, key] of [['Alt', 'x'], ['Shift', 'F1'], ['Control', 'F10'], [null, 'F12'], ['Control', 'Tab']]) {
    if (modifier) await k.down(modifier);
    await k.press(key);
    if (modifier) await k.up(modifier);
  }
  const expected = [97, 27, 0, 72, 0, 45, 0, 84, 0, 103, 0, 134, 30];
  assert.deepEqual((await waitForLines(p, 'key', expected.length)).flat(), expected);

  // The close button queues 0, 107 and the program goes on.
  await p.page.click('#close');
  assert.deepEqual((await waitForLines(p, 'key', expected.length + 2)).flat().slice(-2), [0, 107]);
  assert.equal(await p.page.evaluate(() => window.plotvanePage.state), 'running');
  await p.page.close();
});

test('the pointer reaches a program in client pixels of a scaled canvas, with buttons, Ctrl and the wheel', async () => {
  // A small screen: the 800-pixel window is shown scaled down.
  const p = await openProgram(browser, server.url + 'tests/inputcodes.html', { width: 520, height: 700 });
  assert.ok(p.scale < 0.7, `scale ${p.scale}`);
  const last = async (pred) => {
    const end = Date.now() + 5000;
    for (;;) {
      const events = codesIn(p.lines, 'mouse');
      const e = events[events.length - 1];
      if ((e && pred(e)) || Date.now() > end) return e;
      await sleep(20);
    }
  };
  await moveTo(p, 120, 45);
  assert.deepEqual(await last((e) => e[0] === 3), [3, 0, 120, 45, 0]);

  await p.page.mouse.down();
  assert.deepEqual(await last((e) => e[0] === 1), [1, 1, 120, 45, 0]);
  await p.page.mouse.up();
  assert.deepEqual(await last((e) => e[0] === 2), [2, 0, 120, 45, 0]);

  await p.page.keyboard.down('Control');
  await p.page.mouse.down({ button: 'right' });
  await p.page.mouse.down({ button: 'middle' });
  assert.deepEqual((await last((e) => e[1] === 22)).slice(0, 2), [1, 2 + 4 + 16]);
  await p.page.mouse.up({ button: 'middle' });
  await p.page.mouse.up({ button: 'right' });
  await p.page.keyboard.up('Control');

  // One notch towards the user: -120, at the pointer's position on the screen, where the
  // window is centred: its client area starts near ((1920 - 800) / 2, (1200 - 600) / 2).
  await p.page.mouse.wheel({ deltaY: 100 });
  const wheel = await last((e) => e[0] === 4);
  assert.equal(wheel[4], -120);
  assert.ok(Math.abs(wheel[2] - (560 + 120)) <= 30 && Math.abs(wheel[3] - (300 + 45)) <= 30, String(wheel));
  await p.page.close();
});

test('a program that crashes: the page says so, with its message', async () => {
  const p = await openProgram(browser, server.url + 'tests/crashes.html');
  await p.page.keyboard.press('c');
  const state = await waitForState(p.page, 'crashed');
  assert.match(state.message, /stopped with an error/);
  assert.match(state.message, /out of bounds/);
  assert.match(state.message, /writing outside the memory/);
  assert.match(await p.page.$eval('#status', (s) => s.textContent), /Start again/);
  await p.page.close();
});

test('a page that is not cross-origin isolated says why instead of a blank canvas', async () => {
  const plain = await serve({ isolated: false });
  try {
    const page = await browser.newPage();
    await page.goto(plain.url + 'thicklens.html');
    const state = await waitForState(page, 'unsupported');
    assert.match(state.message, /Cross-Origin-Opener-Policy: same-origin/);
    assert.equal(await page.$eval('#window', (w) => w.hidden), true);
    await page.close();
  } finally {
    plain.close();
  }
});
