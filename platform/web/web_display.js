// The page side of the web display, run before the program starts. The page
// provides a canvas #screen inside an element #screen-box (what goes full
// screen) and an element #message holding .caption, .text and a button.
Module.display = (() => {
  const WIDTH = 640, HEIGHT = 480;  // the mode the programs set, until the first frame says otherwise
  const Kind = { Key: 0, Minimize: 2, Restore: 3, Pointer: 6 };  // HostEvent::Kind
  const ALT = 0x10, SHIFT = 0x04, CONTROL = 0x08;
  const NAMED_KEYS = {
    Escape: 0x1b, Enter: 0x0d, NumpadEnter: 0x0d, Space: 0x20, Tab: 0x09, Backspace: 0x08, Pause: 0x13,
    ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Insert: 0x2d, Delete: 0x2e,
    Home: 0x24, End: 0x23, PageUp: 0x21, PageDown: 0x22,
  };
  const canvas = document.getElementById('screen');
  const box = document.getElementById('screen-box');
  const messageBox = document.getElementById('message');
  const context = canvas.getContext('2d');
  const queue = [];
  let away = false;        // the program has been told that it is minimised
  let messageUp = false;

  // Letters as their capitals' codes, digits as their own, F1-F12 from 0x70.
  function virtualKey(code) {
    let m = /^Key([A-Z])$/.exec(code) || /^Digit([0-9])$/.exec(code);
    if (m) return m[1].charCodeAt(0);
    m = /^F([1-9]|1[0-2])$/.exec(code);
    return m ? 0x6f + Number(m[1]) : NAMED_KEYS[code] || 0;
  }

  function post(kind, key = 0, modifiers = 0) { queue.push(kind << 16 | modifiers << 8 | key); }

  // The largest size with the picture's aspect that fits, in whole device
  // pixels; on the page (not full screen) a whole multiple of the picture.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const full = document.fullscreenElement === box;
    // On the page, room is left for the links and the status line.
    const area = full ? box.getBoundingClientRect() : { width: box.clientWidth, height: window.innerHeight * 0.85 };
    let scale = Math.min(area.width / canvas.width, area.height / canvas.height) * ratio;
    scale = full || scale < 1 ? scale : Math.floor(scale);
    canvas.style.width = Math.floor(canvas.width * scale) / ratio + 'px';
    canvas.style.height = Math.floor(canvas.height * scale) / ratio + 'px';
  }

  // In full screen Escape goes to the program, as on the desktop (where the
  // browser allows it; holding it leaves full screen).
  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else box.requestFullscreen().then(() => navigator.keyboard && navigator.keyboard.lock(['Escape'])).catch(() => {});
  }

  // As exclusive mode does on the desktop: switching away minimises the
  // program (its surfaces are lost), coming back restores it.
  function takeAway() {
    if (away) return;
    away = true;
    post(Kind.Minimize);
  }
  function giveBack() {
    if (!away || document.hidden) return;
    away = false;
    post(Kind.Restore);
  }

  window.addEventListener('keydown', (e) => {
    if (messageUp) return;
    const modifiers = (e.altKey ? ALT : 0) | (e.shiftKey ? SHIFT : 0) | (e.ctrlKey ? CONTROL : 0);
    const key = virtualKey(e.code);
    // The browser's own shortcuts (Ctrl+R, Ctrl+W, ...) stay the browser's.
    if (!key || e.ctrlKey || e.metaKey) return;
    e.preventDefault();
    // A held key is one press: the programs act on presses only.
    if (e.repeat) return;
    if (key === 0x0d && modifiers === ALT) toggleFullScreen();
    else post(Kind.Key, key, modifiers);
  });
  canvas.addEventListener('click', () => { if (!document.fullscreenElement) toggleFullScreen(); });
  canvas.addEventListener('mousemove', () => { if (queue[queue.length - 1] !== Kind.Pointer << 16) post(Kind.Pointer); });
  document.addEventListener('visibilitychange', () => (document.hidden ? takeAway() : giveBack()));
  window.addEventListener('blur', () => {
    if (!document.fullscreenElement) return;
    takeAway();
    document.exitFullscreen().catch(() => {});
  });
  window.addEventListener('focus', giveBack);
  document.addEventListener('fullscreenchange', fit);
  window.addEventListener('resize', fit);
  canvas.width = WIDTH;
  canvas.height = HEIGHT;
  fit();

  // main, once it has waited for the browser, returns into the machinery that
  // resumed it rather than to the page's start-up, which would end the run
  // with its result: the run is ended here instead.
  (Module.preRun = Module.preRun || []).push(() => Asyncify.whenDone().then((code) => {
    try {
      exit(code);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
    }
  }));

  return {
    take: () => (queue.length ? queue.shift() : -1),
    waiting: () => queue.length > 0,

    open(title, icon, width, height) {
      document.title = title;
      if (!icon) return;
      const picture = document.createElement('canvas');
      picture.width = width;
      picture.height = height;
      const pixels = new Uint8ClampedArray(HEAPU8.buffer, icon, width * height * 4);
      picture.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(pixels), width, height), 0, 0);
      const link = document.querySelector('link[rel=icon]') || document.head.appendChild(document.createElement('link'));
      link.rel = 'icon';
      link.href = picture.toDataURL();
    },

    close() {
      canvas.style.cursor = '';
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    },

    pointer(visible) { canvas.style.cursor = visible ? '' : 'none'; },

    // Waits until notBefore (the page's clock, in milliseconds), then puts the
    // picture (if any) on the canvas at the next browser frame. A hidden page
    // has no browser frames: then a tenth of a second stands for one.
    async present(rgba, width, height, notBefore) {
      const early = notBefore - performance.now();
      if (early > 0) await new Promise((resolve) => setTimeout(resolve, early));
      await new Promise((resolve) => {
        requestAnimationFrame(resolve);
        setTimeout(resolve, 100);
      });
      if (!rgba || !width || !height) return;
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
        fit();
      }
      const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
      context.putImageData(new ImageData(pixels, width, height), 0, 0);
    },

    // A message box over the page; it returns when the user has dismissed it.
    message(caption, text) {
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      messageBox.querySelector('.caption').textContent = caption;
      messageBox.querySelector('.text').textContent = text;
      messageBox.hidden = false;
      messageUp = true;
      const button = messageBox.querySelector('button');
      button.focus();
      return new Promise((resolve) => {
        button.onclick = () => {
          messageBox.hidden = true;
          messageUp = false;
          resolve();
        };
      });
    },
  };
})();
