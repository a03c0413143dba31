// The page's side of the web host: starts the program (its main runs on a worker), shows the
// window's finished pictures on the canvas once per display refresh, hands the DOM's input to
// the host, and tells when the program has ended or failed.
'use strict';

(function () {
  const script = document.currentScript;
  const program = script.dataset.program;
  const canvas = document.getElementById('canvas');
  const frame = document.getElementById('window');
  const caption = document.getElementById('caption');
  const statusBox = document.getElementById('status');
  const context = canvas.getContext('2d', { alpha: false });

  // What a test or a curious reader can look at: the state of the page and its counts.
  // refreshes: the display refreshes the page was given; presented: those that showed a new picture.
  const page = (window.plotvanePage = { state: 'loading', presented: 0, refreshes: 0, exitStatus: null, message: '' });

  function say(state, text, restart) {
    page.state = state;
    page.message = text;
    statusBox.textContent = text;
    statusBox.className = 'status ' + state;
    if (restart) {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Start again';
      button.addEventListener('click', () => location.reload());
      statusBox.append(' ', button);
    }
  }

  // Threads in WebAssembly need shared memory, which a browser gives only to a page that is
  // cross-origin isolated (served with the two headers the README names).
  function threadsMissing() {
    if (typeof WebAssembly !== 'object') return 'This browser does not run WebAssembly.';
    if (typeof SharedArrayBuffer === 'undefined' || !self.crossOriginIsolated)
      return 'This page needs shared memory for the program\'s threads, and the browser gives it only to a ' +
             'cross-origin isolated page: the server must send the headers ' +
             '"Cross-Origin-Opener-Policy: same-origin" and "Cross-Origin-Embedder-Policy: require-corp".';
    try {
      new WebAssembly.Memory({ initial: 1, maximum: 1, shared: true });
    } catch (e) {
      return 'This browser does not support WebAssembly threads (shared memory), which the program needs.';
    }
    return '';
  }

  const missing = threadsMissing();
  if (missing) {
    say('unsupported', missing, false);
    return;
  }

  const errorLines = [];
  let running = false;
  let ended = false;

  function fail(text) {
    if (ended) return;
    ended = true;
    running = false;
    const detail = errorLines.length ? '\n' + errorLines.slice(-5).join('\n') : '';
    say('crashed', 'The program stopped with an error: ' + text + detail, true);
  }

  const Module = (window.Module = {
    // The programs take none; the benchmark's page passes its own, as ?arg=...&arg=...
    arguments: new URLSearchParams(location.search).getAll('arg'),
    print: (text) => console.log(text),
    printErr: (text) => {
      console.error(text);
      errorLines.push(text);
    },
    onRuntimeInitialized: () => {
      running = true;
      say('running', 'Running. Click the picture to give it the keyboard.', false);
      requestAnimationFrame(present);
    },
    onExit: (status) => {
      if (ended) return;
      ended = true;
      running = false;
      page.exitStatus = status;
      say('ended', status === 0 ? 'The program has ended.' : 'The program has ended with status ' + status + '.', true);
    },
    onAbort: (what) => fail(String(what)),
  });
  window.addEventListener('error', (e) => fail(e.message || 'unknown error'));
  window.addEventListener('unhandledrejection', (e) => fail(String(e.reason)));

  // ---- Pictures: the latest finished one, once per display refresh. A tab in the background
  // gets no refreshes, so nothing piles up: the next refresh shows the newest picture.
  const info = { ptr: 0 };
  let image = null;
  let serial = -1;
  const decoder = new TextDecoder('windows-1252');

  function present() {
    if (!running) return;
    page.refreshes++;
    if (!info.ptr) info.ptr = Module._malloc(12);
    const pixels = Module._pv_web_frame(info.ptr);
    const at = info.ptr >> 2;
    const width = Module.HEAP32[at], height = Module.HEAP32[at + 1], shown = Module.HEAP32[at + 2];
    if (shown !== serial) {
      serial = shown;
      frame.hidden = width === 0;
      if (width) {
        const length = Module._malloc(4);
        const text = Module._pv_web_caption(length);
        caption.textContent = decoder.decode(Module.HEAPU8.slice(text, text + Module.HEAP32[length >> 2]));
        Module._free(length);
        canvas.focus();
      }
    }
    if (width && (canvas.width !== width || canvas.height !== height)) {
      canvas.width = width;
      canvas.height = height;
      image = null;
    }
    if (pixels && width) {
      if (!image) image = context.createImageData(width, height);
      image.data.set(Module.HEAPU8.subarray(pixels, pixels + width * height * 4));
      context.putImageData(image, 0, 0);
      page.presented++;
    }
    requestAnimationFrame(present);
  }

  // ---- Pointer: client pixels also when the canvas is shown scaled.
  function clientPoint(e) {
    const r = canvas.getBoundingClientRect();
    return [Math.floor(((e.clientX - r.left) * canvas.width) / r.width),
            Math.floor(((e.clientY - r.top) * canvas.height) / r.height)];
  }
  function pointer(e) {
    if (!running) return;
    const [x, y] = clientPoint(e);
    Module._pv_web_pointer(0, x, y, e.buttons, 0, 0);
  }
  canvas.addEventListener('pointermove', pointer);
  canvas.addEventListener('pointerdown', (e) => {
    canvas.focus();
    canvas.setPointerCapture(e.pointerId);  // as a desktop does while a button is held
    pointer(e);
    e.preventDefault();
  });
  canvas.addEventListener('pointerup', pointer);
  canvas.addEventListener('pointercancel', pointer);
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    if (!running) return;
    const [x, y] = clientPoint(e);
    Module._pv_web_pointer(1, x, y, e.buttons, e.deltaY, e.deltaMode);
  }, { passive: false });

  // ---- Keys: all of them go to the program, Space, Tab and the F keys included, as far as
  // the browser lets go of them. Keys still held when the canvas loses the keyboard are let
  // go, as a desktop does when a window loses the focus.
  const held = new Map();
  function key(down, e) {
    if (!running || e.isComposing) return;
    const flags = (down ? 1 : 0) | (e.repeat ? 2 : 0) | (e.getModifierState('NumLock') ? 4 : 0);
    Module.ccall('pv_web_key', null, ['number', 'string', 'string'], [flags, e.code, e.key]);
  }
  canvas.addEventListener('keydown', (e) => {
    e.preventDefault();
    held.set(e.code, e);
    key(true, e);
  });
  canvas.addEventListener('keyup', (e) => {
    e.preventDefault();
    held.delete(e.code);
    key(false, e);
  });
  canvas.addEventListener('blur', () => {
    for (const e of held.values())
      if (running) Module.ccall('pv_web_key', null, ['number', 'string', 'string'], [0, e.code, e.key]);
    held.clear();
  });

  document.getElementById('close').addEventListener('click', () => {
    if (running) Module._pv_web_close();
    canvas.focus();
  });

  const main = document.createElement('script');
  main.src = program + '.js';
  main.addEventListener('error', () => fail('could not load ' + main.src));
  document.body.append(main);
})();
