// The browser's half of the web backends, loaded ahead of the compiled program. The C++
// backends call these through EM_JS; the page (index.html) owns the layout (chalkmere.fit),
// the notices (chalkmere.showNotice) and the reader's languages (chalkmere.languages).
var chalkmere = (window.chalkmere = window.chalkmere || {});
// The start's steps for the benchmark (the page marks only under ?trace).
chalkmere.mark = chalkmere.mark || function () {};
chalkmere.mark('script');

// The page's head has been compiling the module since it was parsed: it is instantiated as
// soon as both are here. Without it (no streaming compilation, a module sent with another
// type) the module's bytes are fetched and compiled here; a module that cannot be had aborts,
// which the page turns into its notice.
if (chalkmere.compiled !== undefined && typeof Module === 'object' && !Module.instantiateWasm) {
  Module.instantiateWasm = (imports, receive) => {
    const early = chalkmere.compiled;
    chalkmere.compiled = undefined;
    (early || Promise.resolve(null)).then((module) => {
      if (module) return WebAssembly.instantiate(module, imports).then((instance) => [instance, module]);
      return fetch(wasmBinaryFile, { credentials: 'same-origin' }).then((response) => {
        if (!response.ok) throw new Error('the module was not found: ' + response.status);
        return response.arrayBuffer();
      }).then((bytes) => WebAssembly.instantiate(bytes, imports))
        .then((made) => [made.instance, made.module]);
    }).then((made) => {
      chalkmere.mark('instantiated');
      receive(made[0], made[1]);
    }, (reason) => abort(reason));
    return {};
  };
}
chalkmere.state = 'loading';
chalkmere.firstFrameMs = null;
chalkmere.frames = 0;
chalkmere.lastFrameMs = null;
chalkmere.soundsStarted = 0;

var ChalkmereWeb = (function () {
  'use strict';
  const canvas = document.getElementById('screen');
  const context = canvas ? canvas.getContext('2d', { alpha: false }) : null;
  let image = null;

  // ---- Input: handed to the program's Pump as (kind, x, y) triples, a key's as (kind,
  // virtual-key code, repeat). The kinds are the display contract's order: down, up, close,
  // activate, deactivate, exposed, key down, key up.
  const kPointerDown = 0, kPointerUp = 1, kActivate = 3, kDeactivate = 4, kExposed = 5;
  const kKeyDown = 6, kKeyUp = 7;
  const events = [];
  let wake = null;

  function push(kind, x, y) {
    events.push(kind, x, y);
    if (wake !== null) wake();
  }

  // Display pixels of a pointer, kept on the picture so a lift outside it still lands.
  function toDisplay(event) {
    const box = canvas.getBoundingClientRect();
    const clamp = (v, n) => Math.min(n - 1, Math.max(0, Math.floor(v)));
    return [clamp(((event.clientX - box.left) * canvas.width) / box.width, canvas.width),
            clamp(((event.clientY - box.top) * canvas.height) / box.height, canvas.height)];
  }

  // One stylus: a second finger is ignored until the first is lifted.
  let pointer = null;
  let last = [0, 0];
  if (canvas) {
    canvas.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      unlockAudio();
      if (pointer !== null || event.button !== 0) return;
      pointer = event.pointerId;
      try { canvas.setPointerCapture(pointer); } catch (e) { /* already gone */ }
      last = toDisplay(event);
      push(kPointerDown, last[0], last[1]);
    });
    canvas.addEventListener('pointermove', (event) => {
      if (event.pointerId === pointer) last = toDisplay(event);
    });
    const lift = (event) => {
      // Some browsers count only a lift as the gesture that may start audio.
      unlockAudio();
      if (event.pointerId !== pointer) return;
      pointer = null;
      // A cancelled touch (the system took it) lifts where the finger last was.
      if (event.type === 'pointerup') last = toDisplay(event);
      push(kPointerUp, last[0], last[1]);
    };
    canvas.addEventListener('pointerup', lift);
    canvas.addEventListener('pointercancel', lift);
    // A browser short of memory may drop the canvas's pixels; the program presents again.
    canvas.addEventListener('contextrestored', () => push(kExposed, 0, 0));
  }
  // The keyboard by the key's place (event.code), so the keypad's digits and the top row's
  // stay apart; as Win32 virtual-key codes.
  const kNamedKeys = {
    Backspace: 0x08, Tab: 0x09, Enter: 0x0d, NumpadEnter: 0x0d, Pause: 0x13, CapsLock: 0x14,
    Escape: 0x1b, Space: 0x20, PageUp: 0x21, PageDown: 0x22, End: 0x23, Home: 0x24,
    ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Insert: 0x2d,
    Delete: 0x2e, MetaLeft: 0x5b, MetaRight: 0x5c, OSLeft: 0x5b, OSRight: 0x5c,
    ContextMenu: 0x5d, NumpadMultiply: 0x6a, NumpadAdd: 0x6b, NumpadSubtract: 0x6d,
    NumpadDecimal: 0x6e, NumpadDivide: 0x6f, NumLock: 0x90, ScrollLock: 0x91,
    ShiftLeft: 0xa0, ShiftRight: 0xa1, ControlLeft: 0xa2, ControlRight: 0xa3, AltLeft: 0xa4,
    AltRight: 0xa5, Semicolon: 0xba, Equal: 0xbb, Comma: 0xbc, Minus: 0xbd, Period: 0xbe,
    Slash: 0xbf, Backquote: 0xc0, BracketLeft: 0xdb, Backslash: 0xdc, BracketRight: 0xdd,
    Quote: 0xde, IntlBackslash: 0xe2,
  };

  // 0 for a key without a code here. Letters follow the layout (AZERTY's A is where QWERTY
  // has Q), or the key's place where the layout has none; digits keep their place, as on
  // Windows, where AZERTY's top row gives '1' unshifted.
  function virtualKey(code, key) {
    let found = /^Digit([0-9])$/.exec(code);
    if (found) return 0x30 + Number(found[1]);
    found = /^Numpad([0-9])$/.exec(code);
    if (found) return 0x60 + Number(found[1]);
    found = /^F([1-9]|1[0-2])$/.exec(code);
    if (found) return 0x6f + Number(found[1]);
    if (/^[a-zA-Z]$/.test(key)) return key.toUpperCase().charCodeAt(0);
    found = /^Key([A-Z])$/.exec(code);
    if (found) return found[1].charCodeAt(0);
    return kNamedKeys[code] || 0;
  }

  // The game's own keys: the page must not scroll or move its focus on them.
  const kGameKeys = /^(Tab|Enter|NumpadEnter|Space|Escape|Backspace|Arrow(Left|Up|Right|Down)|Digit[0-9]|Numpad[0-9])$/;

  // Keys reach the program only while its picture shows: never under a notice, whose buttons
  // the keyboard must keep working, nor before the game starts or after it ends. With Ctrl,
  // Meta or Alt a key is the browser's (reload, close the tab, back) and keeps its meaning.
  function onKey(event) {
    if (!canvas || canvas.hidden || event.isComposing) return;
    const code = virtualKey(event.code, event.key);
    const down = event.type === 'keydown';
    if (!event.ctrlKey && !event.metaKey && !event.altKey && kGameKeys.test(event.code)) {
      event.preventDefault();
    }
    // A keyboard-only player starts the sound as a tapping one does.
    unlockAudio();
    if (code !== 0) push(down ? kKeyDown : kKeyUp, code, down && event.repeat ? 1 : 0);
  }
  document.addEventListener('keydown', onKey);
  document.addEventListener('keyup', onKey);

  window.addEventListener('focus', () => push(kActivate, 0, 0));
  window.addEventListener('blur', () => push(kDeactivate, 0, 0));

  // Resolves at the first event, or after `ms` (never, for a negative `ms`: no timer runs);
  // the program's loop yields to the page here.
  function wait(ms) {
    if (events.length > 0 || ms === 0) return Promise.resolve();
    return new Promise((resolve) => {
      const timer = ms > 0 ? setTimeout(() => { wake = null; resolve(); }, ms) : null;
      wake = () => { wake = null; clearTimeout(timer); resolve(); };
    });
  }

  // Resolves once the page has rendered what is on the canvas: after the next animation frame
  // (or 100 ms, in a tab that is not shown and renders none).
  function rendered() {
    return new Promise((resolve) => {
      const timer = setTimeout(resolve, 100);
      requestAnimationFrame(() => setTimeout(() => { clearTimeout(timer); resolve(); }, 0));
    });
  }

  // ---- Display
  function open(title) {
    chalkmere.mark('window');
    if (!context) return false;
    document.title = title;
    return true;
  }

  function show() {
    canvas.hidden = false;
    if (typeof chalkmere.fit === 'function') chalkmere.fit();
  }

  function hide() {
    if (canvas) canvas.hidden = true;
  }

  // `pixels` are R, G, B, A bytes, as ImageData holds them (WebDisplay::Present made them).
  function present(pixels, width, height) {
    if (!context) return;
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      if (typeof chalkmere.fit === 'function') chalkmere.fit();
    }
    if (image === null || image.width !== width || image.height !== height) {
      image = context.createImageData(width, height);
    }
    image.data.set(HEAPU8.subarray(pixels, pixels + width * height * 4));
    context.putImageData(image, 0, 0);
    chalkmere.lastFrameMs = performance.now();
    if (chalkmere.frames++ === 0) {
      chalkmere.firstFrameMs = chalkmere.lastFrameMs;
      chalkmere.mark('first frame');
      chalkmere.state = 'running';
    }
  }

  // ---- Sound: browsers start audio only from a user gesture, so the first tap creates the
  // context; what plays before it is not heard.
  let audio = null;
  let playing = null;
  const buffers = new Map();

  function unlockAudio() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      if (audio === null) audio = new Context();
      if (audio.state === 'suspended') audio.resume().catch(() => {});
    } catch (e) {
      audio = null;
    }
  }

  // Decodes a WAVE image's PCM once per image; `key` is its address, which never changes.
  function buffer(key, samples, frames, channels, bits, rate) {
    let decoded = buffers.get(key);
    if (decoded) return decoded;
    try {
      decoded = audio.createBuffer(channels, frames, rate);
    } catch (e) {
      return null;
    }
    const bytes = HEAPU8.subarray(samples, samples + frames * channels * (bits / 8));
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    for (let c = 0; c < channels; ++c) {
      const out = decoded.getChannelData(c);
      for (let i = 0; i < frames; ++i) {
        const at = i * channels + c;
        out[i] = bits === 8 ? (bytes[at] - 128) / 128 : view.getInt16(at * 2, true) / 32768;
      }
    }
    buffers.set(key, decoded);
    return decoded;
  }

  function stop() {
    if (playing === null) return;
    const source = playing;
    playing = null;
    try { source.stop(); } catch (e) { /* never started */ }
  }

  // Starts a sound, cutting off the one before; the ended promise resolves when it has been
  // heard, or null when it cannot play.
  function play(key, samples, frames, channels, bits, rate) {
    if (audio === null || audio.state !== 'running') return null;
    const decoded = buffer(key, samples, frames, channels, bits, rate);
    if (decoded === null) return null;
    stop();
    const source = audio.createBufferSource();
    source.buffer = decoded;
    source.connect(audio.destination);
    const ended = new Promise((resolve) => {
      source.onended = resolve;
      // A context suspended under the sound (tab hidden) would hold the program forever.
      setTimeout(resolve, decoded.duration * 1000 + 500);
    });
    source.start();
    playing = source;
    chalkmere.soundsStarted++;
    return ended;
  }

  // ---- Registry: one IndexedDB record per key and per value, all read into memory when the
  // program starts so that reads stay synchronous. Each write is one transaction with strict
  // durability, and the program goes on only when it has completed: localStorage, written to
  // disk some seconds after a change, lost the last results to every crash of the browser.
  const kPrefix = 'chalkmere.registry/';
  // Entries that could not be read are kept here rather than written over.
  const kAside = 'chalkmere.unreadable/';
  const kDatabase = 'chalkmere';
  const kTable = 'registry';
  const lower = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());
  const keyEntry = (path) => kPrefix + encodeURIComponent(lower(path));
  const valueEntry = (path, name) => keyEntry(path) + '/' + encodeURIComponent(lower(name));

  // Records as stored: for a key its path as written ('' from builds that did not keep it),
  // for a value {type, data: hex text}. Null while storage
  // cannot be used (refused, or a newer build of the page took the database over).
  let database = null;
  const records = new Map();

  // A newer build of the page taking the database over closes it here.
  function watched(opened) {
    opened.onversionchange = () => {
      opened.close();
      if (database === opened) database = null;
    };
    return opened;
  }

  function openDatabase() {
    return new Promise((resolve) => {
      let opening;
      try {
        opening = indexedDB.open(kDatabase);
      } catch (e) {
        resolve(null);  // switched off, or refused
        return;
      }
      opening.onupgradeneeded = () => {
        if (!opening.result.objectStoreNames.contains(kTable)) {
          opening.result.createObjectStore(kTable);
        }
      };
      opening.onsuccess = () => resolve(watched(opening.result));
      opening.onerror = () => resolve(null);
    });
  }

  // `changes` as [entry, record] pairs, an undefined record deleting its entry; resolves true
  // once the transaction has completed.
  function commit(changes) {
    return new Promise((settle) => {
      let transaction = null;
      try {
        transaction = database.transaction(kTable, 'readwrite', { durability: 'strict' });
        const table = transaction.objectStore(kTable);
        for (const change of changes) {
          if (change[1] === undefined) {
            table.delete(change[0]);
          } else {
            table.put(change[1], change[0]);
          }
        }
      } catch (e) {
        try { if (transaction) transaction.abort(); } catch (ignored) { /* already over */ }
        settle(false);  // full, refused or closed
        return;
      }
      transaction.oncomplete = () => settle(true);
      transaction.onabort = () => settle(false);
    });
  }

  function readAll(opened) {
    return new Promise((resolve) => {
      try {
        const table = opened.transaction(kTable, 'readonly').objectStore(kTable);
        const cursor = table.openCursor();
        const all = [];
        cursor.onsuccess = () => {
          if (cursor.result === null) return resolve(all);
          all.push([cursor.result.key, cursor.result.value]);
          cursor.result.continue();
        };
        cursor.onerror = () => resolve(null);
      } catch (e) {
        resolve(null);
      }
    });
  }

  // What an earlier build left in localStorage joins the records once; it is removed only when
  // it is safely in IndexedDB (a record already there is the newer).
  async function takeOver() {
    let store;
    const found = [];
    try {
      store = window.localStorage;
      for (let i = 0; store && i < store.length; ++i) {
        const entry = store.key(i);
        if (entry.startsWith(kPrefix)) found.push([entry, store.getItem(entry)]);
      }
    } catch (e) {
      return;
    }
    const changes = [];
    for (const pair of found) {
      const entry = pair[0];
      const text = pair[1];
      if (records.has(entry)) continue;
      let record = text;  // kept as text when it is not a value's JSON: unreadable
      try {
        if (text !== '' && typeof JSON.parse(text) === 'object') record = JSON.parse(text);
      } catch (e) { /* unreadable */ }
      records.set(entry, record);
      changes.push([entry, record]);
    }
    if (found.length === 0 || (changes.length > 0 && !(await commit(changes)))) return;
    try {
      for (const pair of found) store.removeItem(pair[0]);
    } catch (e) { /* taken over again next time */ }
  }

  // Opens the store afresh: the program's start, before its first read. `early` is what the
  // page's head opened and read, when it did.
  async function load(early) {
    if (database !== null) database.close();
    database = null;
    records.clear();
    let opened = null, all = null;
    if (early) {
      const read = await early;
      if (read && !read.closed) [opened, all] = [watched(read.database), read.records];
    } else {
      opened = await openDatabase();
      all = opened && (await readAll(opened));
    }
    if (!all) return;
    for (const pair of all) records.set(pair[0], pair[1]);
    database = opened;
    await takeOver();
    // Kept when the disk runs low; an installed app gets it without asking.
    try {
      if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});
    } catch (e) { /* not offered */ }
  }

  // -1 unavailable, 0 the key was there, 1 it was made, with whichever of its parents were
  // missing, so that subkeys are listed under them.
  async function createKey(path) {
    if (database === null) return -1;
    const made = !records.has(keyEntry(path));
    const changes = [];
    for (let end = path.indexOf('\\'); ; end = path.indexOf('\\', end + 1)) {
      const key = end < 0 ? path : path.substr(0, end);
      if (!records.has(keyEntry(key))) changes.push([keyEntry(key), key]);
      if (end < 0) break;
    }
    if (changes.length === 0) return 0;
    if (!(await commit(changes))) return -1;
    for (const change of changes) records.set(change[0], change[1]);
    return made ? 1 : 0;
  }

  // -1 unavailable, 0 absent, 1 the key exists.
  function openKey(path) {
    if (database === null) return -1;
    return records.has(keyEntry(path)) ? 1 : 0;
  }

  // The last names of the key's direct subkeys as written, in the records' order; null when
  // unavailable.
  function listSubkeys(path) {
    if (database === null) return null;
    const below = keyEntry(path) + encodeURIComponent('\\');
    const names = [];
    for (const pair of records) {
      const entry = pair[0], record = pair[1];
      const rest = entry.substr(below.length);
      if (!entry.startsWith(below) || rest.includes('/') || rest.includes('%5C')) continue;
      const written = typeof record === 'string' && record !== '';
      names.push(written ? record.substr(record.lastIndexOf('\\') + 1) : decodeURIComponent(rest));
    }
    return names;
  }

  // -1 unavailable, 0 absent, 1 deleted with its values, in one transaction that has completed.
  async function deleteKey(path) {
    if (database === null) return -1;
    const entry = keyEntry(path);
    if (!records.has(entry)) return 0;
    const gone = [[entry, undefined]];
    for (const other of records.keys()) {
      if (other.startsWith(entry + '/')) gone.push([other, undefined]);
    }
    if (!(await commit(gone))) return -1;
    for (const change of gone) records.delete(change[0]);
    return 1;
  }

  // A value's bytes as the desktop reads hex: either case, and the whole bytes of an odd
  // number of digits; null when the record cannot be read at all.
  function decode(record) {
    if (record === null || typeof record !== 'object' || !Number.isInteger(record.type) ||
        record.type < 0 || typeof record.data !== 'string' || !/^[0-9a-fA-F]*$/.test(record.data)) {
      return null;
    }
    const bytes = new Uint8Array(record.data.length >> 1);
    for (let i = 0; i < bytes.length; ++i) bytes[i] = parseInt(record.data.substr(i * 2, 2), 16);
    return { type: record.type, bytes: bytes };
  }

  // {type, bytes}, null when absent (or unreadable), undefined when unavailable.
  function get(path, name) {
    if (database === null) return undefined;
    const record = records.get(valueEntry(path, name));
    return record === undefined ? null : decode(record);
  }

  // Resolves true once the value is stored; an unreadable record it replaces is kept aside in
  // the same transaction.
  async function set(path, name, type, data, size) {
    if (database === null) return false;
    let hex = '';
    for (let i = 0; i < size; ++i) hex += (HEAPU8[data + i] | 0x100).toString(16).substr(1);
    const entry = valueEntry(path, name);
    const record = { type: type, data: hex };
    const old = records.get(entry);
    const changes = [[entry, record]];
    if (old !== undefined && decode(old) === null) {
      changes.unshift([kAside + entry.substr(kPrefix.length) + '@' + new Date().toISOString(), old]);
    }
    if (!(await commit(changes))) return false;
    for (const change of changes) records.set(change[0], change[1]);
    return true;
  }

  // Begun with the page, while the program's code is still on its way; a later Open reads
  // afresh.
  let pending = load(chalkmere.storeRead);
  chalkmere.storeRead = null;
  function openStore() {
    chalkmere.mark('store asked');
    const loading = pending || load();
    pending = null;
    return loading;
  }

  // ---- One instance per browser: a Web Lock held for the life of the tab, released by the
  // browser when the tab goes; raise requests travel on a broadcast channel.
  const held = new Map();
  const raiseRequests = [];
  const channel = window.BroadcastChannel ? new BroadcastChannel('chalkmere-instances') : null;
  if (channel) {
    channel.onmessage = (message) => {
      if (held.has(message.data)) raiseRequests.push(message.data);
      if (wake !== null) wake();
    };
  }

  // Takes the lock if no other tab holds it. Without the lock manager (a page served
  // insecurely) every tab is on its own.
  function take(name) {
    chalkmere.mark('lock asked');
    // The page asked for the game's lock before the program could (index.html).
    const early = chalkmere.earlyLock;
    chalkmere.earlyLock = null;
    if (early && early.name === name) {
      return early.granted.then((release) => {
        if (release === null) return false;
        held.set(name, release);
        return true;
      });
    }
    if (early) early.granted.then((release) => release && release());
    if (!navigator.locks) return Promise.resolve(true);
    return new Promise((resolve) => {
      navigator.locks.request(name, { ifAvailable: true }, (lock) => {
        if (lock === null) {
          resolve(false);
          return undefined;
        }
        resolve(true);
        return new Promise((release) => held.set(name, release));
      }).catch(() => resolve(false));
    });
  }

  // Looking for another tab takes the lock when it is free, so no tab can slip in between the
  // look and the claim that follows it (and one round trip to the browser is saved).
  async function findOther(name) {
    return !held.has(name) && !(await take(name));
  }

  function claim(name) {
    return held.has(name) ? Promise.resolve(true) : take(name);
  }

  function release(name) {
    const unlock = held.get(name);
    held.delete(name);
    if (unlock) unlock();
  }

  function askOtherToRaise(name) {
    if (channel === null) return false;
    channel.postMessage(name);
    return true;
  }

  function takeRaiseRequest(name) {
    const at = raiseRequests.indexOf(name);
    if (at < 0) return false;
    raiseRequests.splice(at, 1);
    return true;
  }

  // ---- The mirror: what the program says is on its screen, as elements beside the canvas
  // that screen readers and switch access find. An element stays while its item does (the same
  // role and name), so neither the focus nor a reader's place is lost as the screen changes;
  // pressing one taps the middle of its item on the picture.
  const kLive = 1, kText = 2, kRadio = 4, kCheckbox = 5;
  let mirrorBox = null;
  let mirrored = [];  // {item, element}, as last shown
  const radioGroups = [];
  const itemOf = new WeakMap();
  let programFocus = null;

  function mirrorElement(item) {
    const tag = item.role === kLive ? 'div' : item.role === kText ? 'p' : 'button';
    const element = document.createElement(tag);
    if (item.role === kLive) {
      element.setAttribute('role', 'status');
      element.setAttribute('aria-live', 'polite');
    } else if (item.role !== kText) {
      element.type = 'button';
      if (item.role === kRadio) element.setAttribute('role', 'radio');
      if (item.role === kCheckbox) element.setAttribute('role', 'checkbox');
      // A click is what screen readers and switches send; the program's next list says what
      // changed, so a radio or checkbox does not flip itself.
      element.addEventListener('click', (event) => {
        event.preventDefault();
        const pressed = itemOf.get(element);
        unlockAudio();
        const x = Math.floor((pressed.left + pressed.right) / 2);
        const y = Math.floor((pressed.top + pressed.bottom) / 2);
        push(kPointerDown, x, y);
        push(kPointerUp, x, y);
      });
    }
    element.textContent = item.name;
    return element;
  }

  // Makes `children` the parent's, in this order, moving only what is out of place.
  function arrange(parent, children) {
    children.forEach((child, i) => {
      if (parent.children[i] !== child) parent.insertBefore(child, parent.children[i] || null);
    });
  }

  const sameItem = (a, b) => a.role === b.role && a.name === b.name && a.checked === b.checked &&
    a.focused === b.focused && a.left === b.left && a.top === b.top && a.right === b.right &&
    a.bottom === b.bottom;

  // `items` as {role, name, checked, focused, left, top, right, bottom}, in reading order.
  function mirror(items) {
    if (items.length === mirrored.length &&
        items.every((item, i) => sameItem(item, mirrored[i].item))) return;
    if (mirrorBox === null) {
      mirrorBox = document.createElement('div');
      mirrorBox.id = 'mirror';
      // Hidden the usual way for what only assistive technology should meet: not display:none,
      // which hides it from that too, and out of the canvas's way and its fit.
      mirrorBox.style.cssText = 'position:absolute; width:1px; height:1px; margin:-1px; ' +
        'padding:0; border:0; overflow:hidden; clip:rect(0 0 0 0); clip-path:inset(50%); ' +
        'white-space:nowrap';
      if (canvas) canvas.after(mirrorBox); else document.body.appendChild(mirrorBox);
    }
    const unused = mirrored.slice();
    const take = (item) => {
      let at = unused.findIndex((old) => old.item.role === item.role && old.item.name === item.name);
      // A live line keeps its element whatever it says, so that what it says next is announced.
      if (at < 0 && (item.role === kLive || item.role === kText)) {
        at = unused.findIndex((old) => old.item.role === item.role);
      }
      if (at < 0) return mirrorElement(item);
      const element = unused.splice(at, 1)[0].element;
      if (element.textContent !== item.name) element.textContent = item.name;
      return element;
    };
    mirrored = items.map((item) => ({ item: item, element: take(item) }));
    for (const old of unused) old.element.remove();
    for (const entry of mirrored) {
      const item = entry.item, element = entry.element;
      itemOf.set(element, item);
      if (item.role !== kRadio && item.role !== kCheckbox) continue;
      const checked = item.checked ? 'true' : 'false';
      if (element.getAttribute('aria-checked') !== checked) {
        element.setAttribute('aria-checked', checked);
      }
    }
    // Each run of radios is one group.
    const top = [];
    let groups = 0;
    for (let i = 0; i < mirrored.length; ) {
      if (mirrored[i].item.role !== kRadio) {
        top.push(mirrored[i++].element);
        continue;
      }
      const run = [];
      while (i < mirrored.length && mirrored[i].item.role === kRadio) {
        run.push(mirrored[i++].element);
      }
      if (groups === radioGroups.length) {
        radioGroups.push(document.createElement('div'));
        radioGroups[groups].setAttribute('role', 'radiogroup');
      }
      arrange(radioGroups[groups], run);
      top.push(radioGroups[groups++]);
    }
    for (const group of radioGroups.splice(groups)) group.remove();
    arrange(mirrorBox, top);
    // The program's focus moved: the page's follows, unless the reader is somewhere else.
    const focused = mirrored.find((entry) => entry.item.focused);
    const element = focused ? focused.element : null;
    if (element === programFocus) return;
    programFocus = element;
    const active = document.activeElement;
    if (element && (!active || active === document.body || active === canvas ||
                    mirrorBox.contains(active))) {
      element.focus({ preventScroll: true });
    }
  }

  // ---- Language: the page's choice of the reader's languages (index.html reads ?lang= or
  // the browser's), written at `list` as SetThreadPreferredUILanguages takes them: each name
  // ended by a 0 and the list by another, in `capacity` units. A 0 inside a name would cut it
  // into two that the page did not choose.
  function preferredLanguages(list, capacity) {
    let at = list >> 1;
    const end = at + capacity - 1;
    for (const name of chalkmere.languages || []) {
      const text = String(name).replace(/\0/g, '?');
      if (at + text.length + 1 > end) break;
      for (let i = 0; i < text.length; ++i) HEAPU16[at++] = text.charCodeAt(i);
      HEAPU16[at++] = 0;
    }
    HEAPU16[at] = 0;
  }

  // The block of the reader's language when it is not English: the bytes the page fetched
  // beside the program (index.html starts it), awaited, their length given and then copied.
  let pack = null;
  async function languagePackSize() {
    pack = chalkmere.languagePack ? await chalkmere.languagePack : null;
    return pack ? pack.byteLength : 0;
  }
  function languagePackCopy(to) {
    if (pack) HEAPU8.set(new Uint8Array(pack), to);
    pack = null;
  }

  // The language the program speaks, for screen readers, and the endings' words in it: closed,
  // Play again, already open, cannot draw. Given before the program's entry runs.
  let words = [];
  function speak(language, endings) {
    document.documentElement.lang = language;
    words = endings;
  }

  // ---- The end of the program's entry: closed by the child, turned away because another
  // tab has the game, or without a canvas to draw on (WebDisplay::Ending's order).
  // An installed app has no reload button: the closed notice has one of its own.
  // Each as its state and the indexes of its words (speak's order).
  const kEndings = [['ended', 0, 1], ['already-open', 2], ['failed', 3]];

  function finished(ending) {
    stop();
    const [state, text, button] = kEndings[ending] || kEndings[2];
    chalkmere.state = state;
    notice(words[text] || '', words[button]);
  }

  function notice(text, button) {
    if (typeof chalkmere.showNotice === 'function') {
      chalkmere.showNotice(text, button);
    } else {
      document.body.textContent = text;
    }
  }

  return {
    events, wait, rendered, open, show, hide, present, play, stop, openStore, createKey, get, set,
    openKey, listSubkeys, deleteKey,
    claim, release, findOther, askOtherToRaise, takeRaiseRequest, preferredLanguages, speak,
    languagePackSize, languagePackCopy, finished,
    mirror,
  };
})();
