// Speed in the browser (scripts/web-bench.sh runs it): the programs' drawing time per frame in
// the WebAssembly build, from plotvane-bench run in a page of headless Chromium, beside the
// native build's figures for the same frames; and the pictures each program page presents a
// second while the pointer moves over it.
//   node bench/web-bench.mjs NATIVE-TSV RUNS FRAMES
import fs from 'node:fs';
import { serve, launch, openProgram, moveTo, waitForState, sleep } from '../tests/web/browser.mjs';

const [nativeTsv, runs, frames] = process.argv.slice(2);
const programs = ['thicklens', 'magnifier', 'flashlight', 'mirrorrays', 'lightbeam', 'shadow'];
const seconds = 5;

// name -> { unit, median }, from the benchmark's tab-separated lines: name, unit, median, min,
// max, runs.
function medians(lines) {
  const m = new Map();
  for (const line of lines) {
    const f = line.split('\t');
    if (f.length === 6) m.set(f[0], { unit: f[1], median: Number(f[2]) });
  }
  return m;
}

const server = await serve();
const browser = await launch();
try {
  const native = medians(fs.readFileSync(nativeTsv, 'utf8').split('\n'));
  const args = ['--mode', 'programs', '--runs', runs, '--frames', frames, '--tsv'].map((a) => 'arg=' + a).join('&');
  const bench = await openProgram(browser, `${server.url}tests/plotvane-bench.html?${args}`);
  const end = await waitForState(bench.page, 'ended', 20 * 60 * 1000);
  if (end.exitStatus !== 0) throw new Error('plotvane-bench in the browser: ' + bench.lines.join('\n'));
  const web = medians(bench.lines);
  await bench.page.close();

  console.log(`The programs' frames (medians of ${runs} runs of ${frames} frames); slower: how many times`);
  console.log('row'.padEnd(24), 'unit'.padEnd(6), 'native'.padStart(10), 'browser'.padStart(10), 'slower'.padStart(7));
  for (const [name, { unit, median }] of web) {
    const n = native.get(name)?.median ?? NaN;
    const slower = unit === 'fps' ? n / median : median / n;  // frames a second: more is faster
    console.log(name.padEnd(24), unit.padEnd(6), n.toFixed(1).padStart(10), median.toFixed(1).padStart(10),
                slower.toFixed(2).padStart(7));
  }

  // The refreshes the browser gave the page bound what it can present: on a loaded machine
  // they fall short of the display's 60 whatever the page does.
  console.log(`\nA second of each program page while the pointer moves (${seconds} s): pictures presented, refreshes`);
  const counts = (p) => p.page.evaluate(() => [window.plotvanePage.presented, window.plotvanePage.refreshes]);
  for (const program of programs) {
    const p = await openProgram(browser, server.url + program + '.html');
    const [presented0, refreshes0] = await counts(p);
    const t0 = Date.now();
    for (let i = 0; Date.now() - t0 < seconds * 1000; i++) {
      await moveTo(p, 50 + ((i * 7) % 700), 100 + ((i * 3) % 400));
      await sleep(8);
    }
    const [presented, refreshes] = await counts(p);
    const s = (Date.now() - t0) / 1000;
    console.log(program.padEnd(24), ((presented - presented0) / s).toFixed(1).padStart(10),
                ((refreshes - refreshes0) / s).toFixed(1).padStart(10));
    await p.page.close();
  }
} finally {
  await browser.close();
  server.close();
}
