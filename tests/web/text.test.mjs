// Text in the browser: measured and drawn pixel for pixel as the desktop build does it (the
// figures in tests/expectations.json, which its own test checks), with the font files fetched
// on a program's first text call only; a font that cannot be fetched is said on the console.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { serve, launch, openProgram, shotWhen, expectations, pictureChecksum, sleep } from './browser.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

async function textLine(p) {
  for (let i = 0; i < 200 && !p.lines.some((l) => l.startsWith('text ')); i++) await sleep(50);
  return p.lines.find((l) => l.startsWith('text '));
}

test('text: the same measures and pixels as the desktop build; fonts only when text is used', async () => {
  const server = await serve();
  try {
    const program = await openProgram(browser, `${server.url}thicklens.html`);
    await program.page.close();
    assert.deepEqual(server.requests.filter((u) => u.includes('/fonts/')), []);

    const p = await openProgram(browser, `${server.url}tests/textscene.html`);
    const { width, height, checksum } = expectations.textscene;
    assert.equal(await textLine(p), `text ${width} ${height}`, p.lines.join('\n'));
    const s = await shotWhen(p.page, (shot) => pictureChecksum(shot) === Number(checksum));
    assert.equal(pictureChecksum(s).toString(16), Number(checksum).toString(16));
    assert.ok(server.requests.includes('/tests/fonts/LiberationSans-Regular.ttf'), server.requests.join('\n'));
  } finally {
    server.close();
  }
});

test('text: a font file that cannot be fetched is said, and nothing is measured', async () => {
  const server = await serve({ refuse: (url) => url.endsWith('.ttf') });
  try {
    const p = await openProgram(browser, `${server.url}tests/textscene.html`);
    assert.equal(await textLine(p), 'text 0 0');
    const said = /font file fonts\/LiberationSans-Regular\.ttf could not be fetched \(HTTP status 404\)/;
    assert.ok(p.lines.some((l) => said.test(l)), p.lines.join('\n'));
  } finally {
    server.close();
  }
});
