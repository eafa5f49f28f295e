// The web build in a real browser: the browser's own test program, the desktop play story with
// a mouse, progress kept across a reload and offline, a second tab, a new tab and Play again
// after the exit box, a household of three children, storage that is full or refused, a bad
// network, new builds deployed and failed loads, the game in German and in Ukrainian, then the
// same taps on a phone-sized touch screen.
//   node story.mjs <build-web folder> <golden folder> <work folder>
// The test program's page is beside the game's, in <build-web folder>-tests.
// Screens are screenshots of the canvas, sampled one pixel per display pixel and compared with
// the Linux program's pictures exactly; a failure's pictures and the page's log go to the work
// folder.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { PNG } from 'pngjs';
import puppeteer from 'puppeteer-core';
import { freezeClock } from './frozen_clock.mjs';
import { serve } from './serve.mjs';

const [site, goldenDir, workDir] = process.argv.slice(2);
const W = 240;
const H = 320;
// The entry of a key below the game's own ('' for the game's, 'Children\\2' for a child's).
const keyEntry = (below = '') => 'chalkmere.registry/' +
  encodeURIComponent(`hkey_current_user\\software\\brindlewick\\chalkmere${below && '\\'}${below}`.toLowerCase());
const KEY = keyEntry();
const NOTHING = ['score=missing', 'level=missing', 'auto=missing', 'stat=missing'];
const PLAYED = 'stat=0/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0';
const card = (slot) => [20 + 50 * slot + 23, 268 + 25];
// How long an answer card's click lasts: its data chunk over the bytes a second.
const click = fs.readFileSync(new URL('../../resources/sounds/tap.wav', import.meta.url));
const CLICK_MS = (1000 * click.readUInt32LE(click.indexOf('data') + 4)) / click.readUInt32LE(28);

let story = '-';
let steps = 0;
const began = Date.now();
const pageLog = fs.createWriteStream(path.join(workDir, 'page.log'));
const pageErrors = [];

class Failure extends Error {}
const fail = (text) => { throw new Failure(text); };
const checkPage = () => pageErrors.length && fail(`the page threw: ${pageErrors.join(' | ')}`);
// A load that fails on purpose throws in the page: its tab's errors are expected.
const forgive = (tag) => pageErrors.splice(0, Infinity, ...pageErrors.filter((e) => !e.startsWith(`${tag}:`)));
function step(text) {
  checkPage();
  steps++;
  console.log(`-- [${story}] ${text}`);
}

const server = await serve(site);
const url = server.url;
const testSite = path.resolve(site) + '-tests';

// A tab whose wall clock stands still, as under the desktop stories' libfaketime;
// performance.now(), the program's tick count, runs on. `prepare` runs before the page's own
// scripts.
async function openPage(context, viewport, tag, prepare = () => {}) {
  const page = await context.newPage();
  page.on('console', (m) => pageLog.write(`${tag} ${m.type()}: ${m.text()}\n`));
  page.on('pageerror', (e) => pageErrors.push(`${tag}: ${e.message}`));
  await page.setViewport(viewport);
  await freezeClock(page);
  await page.evaluateOnNewDocument(() => { window.realIndexedDB = indexedDB; });
  await page.evaluateOnNewDocument(prepare);
  return page;
}

async function waitForState(page, state, timeout = 15000) {
  await page.waitForFunction((s) => window.chalkmere?.state === s, { timeout }, state)
    .catch(async () => fail(`the page's state is ${await page.evaluate(() => window.chalkmere?.state)}, not ${state}`));
}

async function start(page, address = url) {
  await page.goto(address, { waitUntil: 'load' });
  await waitForState(page, 'running');
  await expectScreen(page, 'app-title', 'title', 10000);
}

const canvasBox = (page) => page.evaluate(() => {
  const r = document.getElementById('screen').getBoundingClientRect();
  return { left: r.left, top: r.top, width: r.width, height: r.height, dpr: devicePixelRatio };
});

// The middle of display pixel (x, y) on the page.
const onPage = (r, x, y) => [r.left + ((x + 0.5) * r.width) / W, r.top + ((y + 0.5) * r.height) / H];

// Taps display pixel (x, y), `count` times in a row (a child's double tap).
async function tap(page, touch, x, y, count = 1) {
  const [px, py] = onPage(await canvasBox(page), x, y);
  // The taps of a double tap follow each other as fast as the browser takes them: on a loaded
  // machine a sleep between them can stretch past the 250 ms in which the second is ignored
  // (the program's own tests time that window exactly).
  for (let i = 0; i < count; i++) await (touch ? page.touchscreen.tap(px, py) : page.mouse.click(px, py));
}

// The canvas as the screen shows it: k x k device pixels per display pixel, the canvas on
// whole device pixels and inside the view, and each block one colour (nearest neighbour); the
// middle of each block makes the 240 x 320 picture. A geometry that is wrong (perhaps only
// for the moment, while the page re-fits) comes back as `wrong`.
async function capture(page) {
  const r = await canvasBox(page);
  const shot = PNG.sync.read(Buffer.from(await page.screenshot({ captureBeyondViewport: false })));
  const [x0, y0, width, height] = [r.left, r.top, r.width, r.height].map((v) => v * r.dpr);
  const k = Math.round(width) / W;
  if ([x0, y0, width, height].some((v) => Math.abs(v - Math.round(v)) > 0.1) || !Number.isInteger(k) ||
      Math.round(height) !== H * k || x0 < 0 || y0 < 0 || x0 + width > shot.width || y0 + height > shot.height)
    return { k, wrong: `the canvas is ${width} x ${height} device pixels at (${x0}, ${y0}) in a view of ` +
                       `${shot.width} x ${shot.height}, not a whole multiple of 240 x 320 inside it` };
  const small = new PNG({ width: W, height: H });
  let patchy = 0;
  for (let i = 0; i < W * H; i++) {
    const at = (dx, dy) => ((Math.round(y0) + Math.floor(i / W) * k + dy) * shot.width + Math.round(x0) + (i % W) * k + dx) * 4;
    const middle = at(k >> 1, k >> 1);
    shot.data.copy(small.data, i * 4, middle, middle + 4);
    let solid = true;
    for (let d = 0; d < k * k && solid; d++) solid = shot.data.compare(shot.data, middle, middle + 3, at(d % k, Math.floor(d / k)), at(d % k, Math.floor(d / k)) + 3) === 0;
    if (!solid) patchy++;
  }
  return { small, k, patchy };
}

// Waits until the canvas shows tests/golden/<name>.png (only where `inside` says, if given),
// then until it has stood still a moment, as a child waits before the next tap (a press
// within 250 ms of a screen change is ignored; the change was shown by the last frame at the
// latest).
async function expectScreen(page, name, label, timeout = 5000, inside = () => true) {
  const expected = PNG.sync.read(fs.readFileSync(path.join(goldenDir, `${name}.png`)));
  for (const deadline = Date.now() + timeout; ;) {
    const { small, k, patchy, wrong } = await capture(page);
    if (wrong && Date.now() > deadline) fail(wrong);
    const box = [W, H, -1, -1];
    let count = wrong ? 1 : 0;
    for (let i = 0; i < W * H && !wrong; i++) {
      const [x, y] = [i % W, Math.floor(i / W)];
      if (!inside(x, y) || small.data.compare(expected.data, i * 4, i * 4 + 3, i * 4, i * 4 + 3) === 0) continue;
      count++;
      box.splice(0, 4, Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y));
    }
    if (count === 0 && patchy === 0) return settle(page);
    if (Date.now() > deadline) {
      fs.writeFileSync(path.join(workDir, `${story}-${label}-actual.png`), PNG.sync.write(small));
      fail(`the canvas does not show ${name}.png: ${count} pixels differ within (${box}), ` +
           `${patchy} display pixels are not one solid ${k} x ${k} block (see ${story}-${label}-actual.png)`);
    }
    await sleep(100);
  }
}

// What is left of a child's 300 ms since the last frame, which showed any change of screen.
const settle = async (page) =>
  sleep(Math.max(0, 300 - (await page.evaluate(() => performance.now() - window.chalkmere.lastFrameMs))));

// The stored values as the desktop's registry_dump prints them: REG_SZ text, and "stat" as
// correct/attempts for each of the 12 levels.
// Every stored record by its entry, read from IndexedDB beside the page's own connection (and
// never creating the database where the page has none).
const storage = (page) => page.evaluate(() => new Promise((resolve, reject) => {
  const opening = window.realIndexedDB.open('chalkmere');
  opening.onupgradeneeded = () => opening.transaction.abort();
  opening.onerror = () => resolve({});
  opening.onsuccess = () => {
    const table = opening.result.transaction('registry').objectStore('registry');
    const [keys, values] = [table.getAllKeys(), table.getAll()];
    table.transaction.oncomplete = () => {
      opening.result.close();
      resolve(Object.fromEntries(keys.result.map((key, i) => [key, values.result[i]])));
    };
    table.transaction.onabort = () => reject(new Error('the stored records could not be read'));
  };
}));

// `below` names the key, as keyEntry does; `all` is storage() when the caller has it.
async function registry(page, below = '', names = ['score', 'level', 'auto', 'stat'], all = undefined) {
  all ??= await storage(page);
  return names.map((name) => {
    const entry = all[`${keyEntry(below)}/${name.toLowerCase()}`];
    if (entry === undefined) return `${name}=missing`;
    const { type, data } = entry;
    const bytes = Buffer.from(data, 'hex');
    if (type !== (name === 'stat' ? 3 : 1)) return `${name}=type${type}`;
    if (name === 'stat')
      return `stat=${Array.from({ length: 12 }, (_, l) => `${bytes.readInt32LE(l * 8)}/${bytes.readInt32LE(l * 8 + 4)}`).join(' ')}`;
    const text = bytes.toString('utf16le');
    return `${name}=${text.includes('\0') ? text.slice(0, text.indexOf('\0')) : `${text}(unterminated)`}`;
  });
}

async function expectRegistry(page, expected, timeout = 0, read = registry) {
  for (const deadline = Date.now() + timeout; ;) {
    const actual = await read(page);
    if (actual.join(' ') === expected.join(' ')) return;
    if (Date.now() >= deadline) fail(`the stored values are ${actual.join(' ')}; expected ${expected.join(' ')}`);
    await sleep(50);
  }
}

// The desktop play story's first steps, with a mouse or a finger; `stored` says what each
// step leaves stored (all missing where storage fails).
async function playToSettings(page, touch, stored = (values) => values) {
  step('a double tap low on the title shows the first problem and answers nothing');
  await tap(page, touch, ...card(1), 2);
  await expectScreen(page, 'e2e-game', 'game');
  await expectRegistry(page, NOTHING);

  step('tap the four cards left to right (the right one is in slot 3), each heard before it shows');
  for (const slot of [0, 1, 2, 3]) {
    await page.evaluate(() => document.getElementById('screen').addEventListener('pointerdown',
      () => { window.pressed = [performance.now(), window.chalkmere.frames]; }, { once: true }));
    await tap(page, touch, ...card(slot));
    // The program waits in the card's click; nothing can be shown before the click has ended
    // (give or take two of the audio renderer's 128-sample quanta).
    await page.waitForFunction(() => window.chalkmere.frames > window.pressed[1], { timeout: 15000 })
      .catch(() => { checkPage(); fail(`nothing was shown after the press on card ${slot}`); });
    const shownAfter = await page.evaluate(() => window.chalkmere.lastFrameMs - window.pressed[0]);
    if (shownAfter < CLICK_MS - 6) fail(`card ${slot} showed ${shownAfter.toFixed(1)} ms after its press, within its ${CLICK_MS.toFixed(1)} ms click`);
  }
  await expectScreen(page, 'e2e-game-played', 'played');
  // Three wrong taps before the right card leave 12 / 3 / 3 / 3 = 0 points and no first try.
  await expectRegistry(page, stored(['score=0', 'level=missing', 'auto=missing', PLAYED]));
  const sounds = await page.evaluate(() => window.chalkmere.soundsStarted);
  if (!(sounds > 0)) fail('no sound started after the taps');

  step('the settings button shows the settings; the box of level 3 chooses the level');
  await tap(page, touch, 32, 37);
  await expectScreen(page, 'e2e-settings', 'settings');
  await tap(page, touch, 30 + 30 * 2 + 5, 87 + 5);
  await expectRegistry(page, stored(['score=0', 'level=3', 'auto=missing', PLAYED]), 5000);
}

async function desktopStory(browser) {
  story = 'desktop';
  const context = await browser.createBrowserContext();
  const viewport = { width: 800, height: 1000 };
  const page = await openPage(context, viewport, 'tab1');

  step('the title appears');
  await start(page);
  console.log(`   first frame ${Math.round(await page.evaluate(() => window.chalkmere.firstFrameMs))} ms after navigation`);
  for (const [width, height, k] of [[500, 700, 2], [800, 1000, 3]]) {
    await page.setViewport({ width, height });
    await expectScreen(page, 'app-title', `title-${k}x`);
    if ((await capture(page)).k !== k) fail(`at ${width} x ${height} the picture is not shown at ${k}x`);
  }
  await playToSettings(page, false);

  step('a double tap on OK returns to a new problem at level 3 and answers nothing');
  await tap(page, false, 65, 275, 2);
  await expectScreen(page, 'e2e-game-level3', 'level3');
  const kept = await storage(page);

  step('Chromium finds the page installable as an app');
  await page.evaluate(() => navigator.serviceWorker.ready);
  const cdp = await page.createCDPSession();
  // The story's own private window is the one thing allowed to stand in the way.
  const errors = (await cdp.send('Page.getInstallabilityErrors')).installabilityErrors
    .filter((error) => error.errorId !== 'in-incognito');
  if (errors.length) fail(`not installable: ${JSON.stringify(errors)}`);

  step('after a reload, and with the server gone, the level, the score and the stars are kept');
  for (const offline of [false, true]) {
    if (offline) await server.stop();
    await page.reload({ waitUntil: 'load' });
    await waitForState(page, 'running');
    await expectScreen(page, 'app-title', 'reloaded', 10000);
    await tap(page, false, 120, 160);
    // A new problem, among the score and the three stars of level 3 as before.
    const problem = (x, y) => (x >= 30 && x < 195 && y >= 60 && y < 200) || (y >= 268 && y < 318);
    await expectScreen(page, 'e2e-game-level3', 'reloaded-game', 5000, (x, y) => !problem(x, y));
    if (JSON.stringify(await storage(page)) !== JSON.stringify(kept)) fail('the stored entries changed');
  }
  await server.start();

  step('a second tab says Chalkmere is already open and touches nothing');
  const second = await openPage(context, viewport, 'tab2');
  await second.goto(url, { waitUntil: 'load' });
  await waitForState(second, 'already-open');
  const seen = await second.evaluate(() => [document.getElementById('notice'), document.getElementById('screen')]
    .map((e) => (e.checkVisibility() ? e.textContent.trim() || 'shown' : 'hidden')));
  if (!/^Chalkmere is already open/.test(seen[0]) || seen[1] !== 'hidden')
    fail(`the notice is "${seen[0]}", the canvas ${seen[1]}`);
  await sleep(500);
  if (JSON.stringify(await storage(second)) !== JSON.stringify(kept)) fail('the second tab changed the stored entries');
  if ((await page.evaluate(() => window.chalkmere.state)) !== 'running') fail('the first tab stopped');

  step('back in the first tab, the exit box ends the game, and a new tab then starts one');
  await page.bringToFront();
  await tap(page, false, 208 + 10, 20 + 10);
  await waitForState(page, 'ended');
  const third = await openPage(context, viewport, 'tab3');
  await third.goto(url, { waitUntil: 'load' });
  await waitForState(third, 'running');

  step('the closed notice has a big Play again button, which starts a new game');
  await third.close();
  await page.bringToFront();
  await pressNotice(page, /^Chalkmere has closed/, 'Play again');
  await waitForState(page, 'running', 10000);
  await expectScreen(page, 'app-title', 'played-again', 10000);
  await context.close();
}

// The household as stored: every key below the game's that holds a record or a value, then
// the game's key's values and each child's.
const HOUSE = ['score', 'level', 'auto', 'stat', 'picture', 'children', 'lastChild', 'nextChild'];
const CHILD = ['score', 'level', 'auto', 'stat', 'picture'];
async function household(page) {
  const all = await storage(page);
  const below = KEY + encodeURIComponent('\\');
  const keys = [...new Set(Object.keys(all).filter((entry) => entry.startsWith(below))
    .map((entry) => decodeURIComponent(entry.slice(below.length).split('/')[0])))].sort();
  const lines = [`keys=${keys.join(' ') || 'none'}`, ...await registry(page, '', HOUSE, all)];
  for (const key of keys.filter((k) => k !== 'children')) lines.push(`${key}:`, ...await registry(page, key, CHILD, all));
  return lines;
}
// What household() should read: the game's key's values, and each child's by number.
const house = (main, children = {}) => [
  `keys=${Object.keys(children).length ? ['children', ...Object.keys(children).map((n) => `children\\${n}`)].join(' ') : 'none'}`,
  ...main, ...Object.entries(children).flatMap(([n, values]) => [`children\\${n}:`, ...values])];
const stat = (level, correct, attempts) =>
  `stat=${Array.from({ length: 12 }, (_, l) => (l === level - 1 ? `${correct}/${attempts}` : '0/0')).join(' ')}`;
const expectHousehold = (page, expected) => expectRegistry(page, expected, 5000, household);

// Display pixels inside none of the boxes [x0, y0, x1, y1).
const outside = (...boxes) => (x, y) => !boxes.some(([x0, y0, x1, y1]) => x >= x0 && x < x1 && y >= y0 && y < y1);
const cell = (cx, cy) => [cx - 40, cy - 40, cx + 40, cy + 40];
// The drill of any child at any level: all but the problem, the picture, the stars and the score.
const DRILL = [[30, 60, 195, 200], [0, 268, 240, 318], [55, 25, 79, 49], [200, 40, 240, 268], [120, 15, 195, 45]];

// The household's story: a fox and a frog added from the settings, each child playing at their
// own level; their progress kept after the exit box; the fox removed, key and values.
async function childrenStory(browser) {
  story = 'children';
  const context = await browser.createBrowserContext();
  // The picture at its own size, the cheapest to take (the desktop story tries the scales).
  const viewport = { width: 260, height: 340 };
  let page = await openPage(context, viewport, 'children1');
  // Taps (x, y) and waits for the screen `name` outside `boxes`.
  const go = async (x, y, name, ...boxes) => {
    await tap(page, false, x, y);
    await expectScreen(page, name, `${name}-${steps}`, 5000, outside(...boxes));
  };
  const owl = ['score=12', 'level=missing', 'auto=missing', stat(1, 1, 1), 'picture=1'];
  const fox = ['score=12', 'level=3', 'auto=0', stat(3, 1, 1), 'picture=2'];
  const frog = ['score=4', 'level=5', 'auto=0', stat(5, 0, 1), 'picture=4'];

  step('with one child the title leads straight to the drill, and nothing new is stored');
  await start(page);
  await go(120, 160, 'e2e-game');
  await expectHousehold(page, house([...NOTHING, 'picture=missing', 'children=missing', 'lastChild=missing', 'nextChild=missing']));

  step('settings, the heading: a fox and a frog are added, then back to the drill as the owl');
  await go(32, 37, 'e2e-settings');
  // The owl alone, and the owl with the fox, are the three's page in part.
  await go(120, 20, 'e2e-children-three', [120, 0, 240, 320], [0, 140, 240, 320]);
  await go(170, 100, 'e2e-children-new');
  await go(120, 100, 'e2e-children-three', [0, 140, 240, 320]);
  await go(70, 180, 'e2e-children-new', cell(120, 100));
  await go(45, 180, 'e2e-children-three');
  await go(32, 37, 'e2e-settings', [170, 36, 194, 60]);
  await go(65, 275, 'e2e-children-game-owl');
  const fresh = ['score=0', 'level=1', 'auto=0', stat(1, 0, 0)];
  await expectHousehold(page, house([...NOTHING, 'picture=1', 'children=1,2,3', 'lastChild=missing', 'nextChild=4'],
    { 2: [...fresh, 'picture=2'], 3: [...fresh, 'picture=4'] }));

  step('the owl answers right at level 1, the fox at level 3, the frog wrong then right at level 5');
  await tap(page, false, ...card(3));
  await expectRegistry(page, owl.slice(0, 4), 5000);
  await go(67, 38, 'e2e-children-who', cell(70, 100), cell(70, 180));
  // 2 - 1 = 1 in slot 0; 40 + 29 = 69 in slot 0, after 86 in slot 1.
  for (const [x, y, child, values, slots] of [[170, 100, 2, fox, [0]], [70, 180, 3, frog, [1, 0]]]) {
    const level = values[1].slice(6);
    await go(x, y, 'e2e-children-game-owl', ...DRILL);
    await go(32, 37, 'e2e-settings', [170, 36, 194, 60]);
    await tap(page, false, 30 + 30 * (level - 1) + 5, 92);
    await expectRegistry(page, [`level=${level}`], 5000, (p) => registry(p, `Children\\${child}`, ['level']));
    await go(65, 275, 'e2e-children-game-owl', ...DRILL);
    for (const slot of slots) await tap(page, false, ...card(slot));
    await expectRegistry(page, values, 5000, (p) => registry(p, `Children\\${child}`, CHILD));
    await go(67, 38, 'e2e-children-who', cell(70, 100), cell(170, 100), cell(70, 180));
  }
  await expectHousehold(page, house([...owl, 'children=1,2,3', 'lastChild=3', 'nextChild=4'], { 2: fox, 3: frog }));

  step('closed by the exit box and started in a new tab: the frog is ringed, and each child finds their own progress');
  await tap(page, false, 208 + 10, 20 + 10);
  await waitForState(page, 'ended');
  page = await openPage(context, viewport, 'children2');
  await start(page);
  await go(120, 160, 'e2e-children-who');
  for (const [x, y, name] of [[70, 180, 'frog'], [170, 100, 'fox'], [70, 100, 'owl']]) {
    await go(x, y, 'e2e-children-game-owl', ...DRILL);
    await go(32, 37, `e2e-children-settings-${name}`);
    if (name === 'owl') break;
    await go(65, 275, 'e2e-children-game-owl', ...DRILL);
    await go(67, 38, 'e2e-children-who', cell(70, 100), cell(170, 100), cell(70, 180));
  }
  await expectHousehold(page, house([...owl, 'children=1,2,3', 'lastChild=1', 'nextChild=4'], { 2: fox, 3: frog }));

  step("as the owl: the fox's badge held two seconds asks, and the cross removes the fox's key and values alone");
  await go(120, 20, 'e2e-children-three');
  await page.mouse.move(...onPage(await canvasBox(page), 190, 72));
  const pressed = await page.evaluate(() => performance.now());
  await page.mouse.down();
  await expectScreen(page, 'e2e-children-remove', 'remove', 5000);
  // The question is the last frame shown.
  const asked = await page.evaluate((at) => window.chalkmere.lastFrameMs - at, pressed);
  if (asked < 2000) fail(`the badge asked ${Math.round(asked)} ms after its press`);
  await page.mouse.up();
  await go(120, 240, 'e2e-children-removed');
  await expectHousehold(page, house([...owl, 'children=1,3', 'lastChild=1', 'nextChild=4'], { 3: frog }));
  await context.close();
}

// The notice's sentence and button, which a child's finger must find easily; pressed, unless
// `press` says otherwise.
async function pressNotice(page, sentence, label, press = true) {
  const [text, button, height] = await page.evaluate(() => {
    const notice = document.getElementById('notice');
    const button = notice.querySelector('button');
    return [notice.checkVisibility() ? notice.querySelector('p')?.textContent : 'hidden',
            button?.checkVisibility() ? button.textContent : 'none', button?.getBoundingClientRect().height];
  });
  if (!sentence.test(text) || button !== label || !(height >= 44))
    fail(`the notice says "${text}" with the button "${button}" ${height} pixels high, not ${sentence} with "${label}"`);
  if (press) await page.click('#notice button');
}

// A build beside the page's, as a deployment makes one: the same program under a new hash, its
// script marked with `name` so that the story sees which build runs; a partial one lacks its
// module.
function deploy(name, partial = false) {
  const dir = path.join(workDir, name);
  fs.cpSync(site, dir, { recursive: true });
  const read = (file) => fs.readFileSync(path.join(dir, file), 'utf8');
  const old = read('index.html').match(/name="chalkmere-build" content="([0-9a-f]{16})"/)?.[1];
  if (!old || !fs.existsSync(path.join(dir, `chalkmere.${old}.js`))) fail('the page does not load a script named after its build');
  const build = crypto.createHash('sha256').update(old + name).digest('hex').slice(0, 16);
  fs.writeFileSync(path.join(dir, `chalkmere.${build}.js`), `${read(`chalkmere.${old}.js`).replaceAll(old, build)}\nchalkmere.deployed = '${name}';\n`);
  fs.rmSync(path.join(dir, `chalkmere.${old}.js`));
  if (partial) fs.rmSync(path.join(dir, `chalkmere.${old}.wasm`));
  else fs.renameSync(path.join(dir, `chalkmere.${old}.wasm`), path.join(dir, `chalkmere.${build}.wasm`));
  for (const file of ['index.html', 'service-worker.js']) fs.writeFileSync(path.join(dir, file), read(file).replaceAll(old, build));
  return { dir, build };
}

// A reload that must bring the game (of build `deployed`, if given) within `timeout`.
async function reloadToGame(page, why, deployed, timeout = 3000) {
  await page.reload({ waitUntil: 'domcontentloaded', timeout }).catch(() => {});
  await page.waitForFunction(() => window.chalkmere?.state === 'running', { timeout })
    .catch(async () => fail(`${why}: the game did not start within ${timeout} ms (the page's state is ` +
                            // a page still waiting for its document never answers an evaluation
                            `${await Promise.race([page.evaluate(() => window.chalkmere?.state),
                                                   sleep(1000).then(() => 'not loaded')]).catch(() => 'unknown')})`));
  const running = await page.evaluate(() => window.chalkmere.deployed);
  if (running !== deployed) fail(`${why}: the build ${running ?? 'first'} runs, not ${deployed ?? 'the first'}`);
}

const keptBuilds = (page) => page.evaluate(() => caches.keys());

async function networkStory(browser) {
  story = 'network';
  const context = await browser.createBrowserContext();
  const viewport = { width: 800, height: 1000 };
  // The service worker waits 400 ms for the network instead of seconds.
  const page = await openPage(context, viewport, 'net', () => { window.chalkmere = { networkWaitMs: 400 }; });
  try {
    step('a first visit whose module cannot be fetched says so, and its button tries again');
    server.mode = 'no-wasm';
    await page.goto(url, { waitUntil: 'load' });
    await waitForState(page, 'load-failed', 5000);
    forgive('net');
    server.mode = null;
    await pressNotice(page, /^Chalkmere could not be loaded/, 'Try again');
    await waitForState(page, 'running', 10000);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 10000 })
      .catch(() => fail('no service worker took the page after its first visit'));

    step('after one visit, a server that fails, lacks the module, is a portal or never answers still starts the game');
    for (const mode of ['503', 'no-wasm', 'portal', 'hang']) {
      server.mode = mode;
      await reloadToGame(page, `with a server in mode ${mode}`);
      await expectScreen(page, 'app-title', `network-${mode}`, 1000);
    }
    await server.stop();
    server.mode = null;
    await reloadToGame(page, 'offline after the portal');
    await server.start();

    step('a new build deployed beside the running tab runs at the first reload, and offline');
    const second = deploy('second');
    server.site = second.dir;
    await reloadToGame(page, 'after the second build was deployed', 'second', 10000);
    await page.waitForFunction((build) => caches.keys().then((k) => k.length === 1 && k[0].endsWith(build)),
      { timeout: 10000 }, second.build).catch(async () => fail(`the kept builds are ${await keptBuilds(page)}`));
    await server.stop();
    await reloadToGame(page, 'offline after the second build', 'second');
    await server.start();

    step('a build offered without its module is never kept: offline the last complete one runs');
    const third = deploy('third', true);
    server.site = third.dir;
    await page.reload({ waitUntil: 'load' });
    await waitForState(page, 'load-failed', 5000);
    forgive('net');
    const settled = await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      await registration.update().catch(() => {});
      for (let i = 0; i < 100 && (registration.installing || registration.waiting); i++) await new Promise((r) => setTimeout(r, 50));
      return !registration.installing && !registration.waiting;
    });
    const kept = await keptBuilds(page);
    if (!settled || kept.length !== 1 || !kept[0].endsWith(second.build)) fail(`the kept builds are ${kept}`);
    await server.stop();
    await reloadToGame(page, 'offline after a partial build', 'second');
  } finally {
    server.mode = null;
    server.site = site;
    await server.stop();
    await server.start();
  }
  await context.close();

  step('a browser without WebAssembly says so, with a button to try again');
  const old = await browser.createBrowserContext();
  const oldPage = await openPage(old, viewport, 'old', () => { delete window.WebAssembly; });
  await oldPage.goto(url, { waitUntil: 'load' });
  await waitForState(oldPage, 'unsupported', 5000);
  await pressNotice(oldPage, /^This browser is too old to run Chalkmere/, 'Try again');
  await old.close();
}

// The browser's test program, served from an origin of its own so that what its tests store
// is never the game's. A failure is told by the names of the failed tests and the first
// failure's text.
async function browserTestsStory(browser) {
  story = 'browser tests';
  step('the store contract and the drill a seed poses hold in the browser');
  if (!fs.existsSync(path.join(testSite, 'index.html'))) fail(`the test program is not built (no ${testSite})`);
  const tests = await serve(testSite);
  try {
    const context = await browser.createBrowserContext();
    const page = await openPage(context, { width: 800, height: 600 }, 'tests');
    await page.goto(tests.url, { waitUntil: 'load' });
    await page.waitForFunction(() => window.testsEnded !== undefined, { timeout: 15000 })
      .catch(() => fail('the test program did not end'));
    const [ended, log] = await page.evaluate(() => [window.testsEnded, document.getElementById('log').textContent]);
    // A program that waited (Asyncify) is ended by throwing its exit status.
    pageErrors.splice(0, Infinity, ...pageErrors.filter((e) => e !== 'tests: ExitStatus'));
    pageLog.write(log);
    if (ended !== 0) {
      const failed = [...log.matchAll(/^\[  FAILED  \] (\S+) \(/gm)].map((m) => m[1]);
      const first = log.match(/^(?:.*\/)?([^/\n]+: Failure\n(?:(?!\[|.*: Failure$).*\n)*)/m);
      fail(`${failed.join(', ') || `the test program (${ended})`} failed` +
           (first ? `: ${first[1].replace(/\s+/g, ' ').trim().slice(0, 400)}` : ''));
    }
    await mirrorSteps(page);
    await context.close();
  } finally {
    await tests.stop();
  }
}

// A screen as the program describes it: a live line, text, four buttons, three radios, a
// checkbox; the focus on Sums. Item i's bounds are (10i, 20i)-(10i + 31, 20i + 21).
const described = (said, chosen) => [[1, said], [2, 'Choose a level'], [3, 'Back'], [3, 'Sums'],
  [3, 'Take-aways'], [3, 'Times'], [4, 'Easy'], [4, 'Medium'], [4, 'Hard'], [5, 'Sound']]
  .map(([role, name], i) => ({ role, name, checked: [chosen, 'Sound'].includes(name), focused: name === 'Sums',
                               left: 10 * i, top: 20 * i, right: 10 * i + 31, bottom: 20 * i + 21 }));

// The page as Chromium hands it to screen readers, one line: each status line, text, button,
// radio (in its group) and checkbox with its name and states.
async function readAloud(cdp) {
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const read = (node) => {
    const inner = (node.childIds || []).filter((id) => byId.has(id)).flatMap((id) => read(byId.get(id)));
    const is = Object.fromEntries((node.properties || []).map((p) => [p.name, p.value.value]));
    const text = inner.filter((said) => typeof said !== 'string').map((said) => said.text).join('');
    const states = `${is.checked === 'true' ? ' (checked)' : ''}${is.focused ? ' (focused)' : ''}`;
    switch (node.role?.value) {
      case 'StaticText': return [{ text: node.name.value }];
      case 'status': return [`status (${is.live}): ${text}`];
      case 'paragraph': return [`text: ${text}`];
      case 'button': case 'radio': case 'checkbox': return [`${node.role.value}: ${node.name.value}${states}`];
      case 'radiogroup': return [`group [${inner.join(', ')}]`];
      default: return node.role?.value === 'RootWebArea' ? inner.filter((said) => typeof said === 'string') : inner;
    }
  };
  return read(nodes[0]).join(' | ');
}

// The mirror beside the canvas, on the test program's page after its program ended (the runtime
// stays): read as Chromium hands it to screen readers, watched for what each new list changes,
// and clicked as a screen reader or a switch clicks.
async function mirrorSteps(page) {
  const cdp = await page.createCDPSession();
  // What the list changed in the mirror's elements.
  const show = (items) => page.evaluate((items) => {
    const watch = new MutationObserver(() => {});
    watch.observe(document.getElementById('mirror'), { subtree: true, childList: true, attributes: true, characterData: true });
    ChalkmereWeb.mirror(items);
    const changed = watch.takeRecords().map((r) => `${r.target.id ? `#${r.target.id}` :
      `${r.target.getAttribute('role') || r.target.tagName.toLowerCase()} ${r.target.textContent}`}: ${r.attributeName || r.type}`);
    watch.disconnect();
    return changed;
  }, items);
  const expectReading = async (expected) => {
    const reading = await readAloud(cdp);
    if (reading !== expected) fail(`a screen reader finds ${reading}; expected ${expected}`);
  };
  const buttons = 'button: Back | button: Sums (focused) | button: Take-aways | button: Times';

  step('the mirror reads as a status line, text, four buttons, a radio group and a checkbox, the focus on the program\'s');
  await page.evaluate((items) => ChalkmereWeb.mirror(items), described('Level 2 chosen', 'Medium'));
  await expectReading(`status (polite): Level 2 chosen | text: Choose a level | ${buttons} | ` +
                      'group [radio: Easy, radio: Medium (checked), radio: Hard] | checkbox: Sound (checked)');

  step('the same list again changes nothing; a new line and another radio change only those, the focus stays');
  const again = await show(described('Level 2 chosen', 'Medium'));
  if (again.length) fail(`the same list changed ${again.join(', ')}`);
  const changed = await show(described('Level 3 chosen', 'Hard'));
  const expected = ['status Level 3 chosen: childList', 'radio Medium: aria-checked', 'radio Hard: aria-checked'];
  if (changed.join(', ') !== expected.join(', ')) fail(`the new list changed ${changed.join(', ')}; expected ${expected.join(', ')}`);
  await expectReading(`status (polite): Level 3 chosen | text: Choose a level | ${buttons} | ` +
                      'group [radio: Easy, radio: Medium, radio: Hard (checked)] | checkbox: Sound (checked)');

  step('clicking a button presses and releases once at the middle of its bounds');
  const queued = await page.evaluate(() => {
    ChalkmereWeb.events.length = 0;
    Array.from(document.querySelectorAll('#mirror button')).find((b) => b.textContent === 'Take-aways').click();
    return ChalkmereWeb.events.join(' ');
  });
  if (queued !== '0 55 90 1 55 90') fail(`the click queued ${queued}, not a press and a release at (55, 90)`);
}

// Waits until `read()` gives `expected` (or matches it, a pattern); else says what `what` is.
async function until(what, read, expected, timeout = 5000) {
  for (const deadline = Date.now() + timeout; ;) {
    const actual = await read();
    if (expected instanceof RegExp ? expected.test(actual) : actual === expected) return;
    if (Date.now() >= deadline) fail(`${what} ${actual}; expected ${expected}`);
    await sleep(50);
  }
}

// A child with a keyboard and no mouse: the Linux keys story's pictures, the keypad, and what the
// page alone can spoil: its own focus and scrolling on the game's keys.
async function keysStory(browser) {
  story = 'keys';
  const context = await browser.createBrowserContext();
  const page = await openPage(context, { width: 260, height: 340 }, 'keys');
  const keys = page.keyboard;
  const mirror = (expected) => until('the mirror says', () => page.evaluate(() => Array.from(
    document.querySelectorAll('#mirror :is([role=status], p, button)'), (e) => e.textContent).join(' | ')), expected);
  // Presses `key` once for each name, each time until the page's focus, which follows the
  // game's, is on the mirror's element of that name.
  const focusBy = async (key, ...names) => {
    for (const name of names) {
      await keys.press(key);
      await until("the page's focus is on", () => page.evaluate(() =>
        document.activeElement.closest('#mirror') ? document.activeElement.textContent : `${document.activeElement.tagName} outside the mirror`), name);
    }
  };
  const values = (level, auto) => ['score=4', `level=${level}`, `auto=${auto}`, stat(1, 0, 1)];

  step('Space starts; a 1 straight after it answers nothing on the new screen');
  await start(page);
  await keys.press('Space');
  await keys.press('Digit1');
  await expectScreen(page, 'e2e-game', 'game');
  await expectRegistry(page, NOTHING);

  step("the keypad's 1 hides the wrong card at the left; 4 scores the right one while it is down, heard");
  await keys.press('Numpad1');
  await mirror('Not this one | Settings | Score 0 | Exit | 5 | 4 | 6');
  await keys.down('Digit4');
  await expectRegistry(page, values('missing', 'missing'), 5000);
  await keys.up('Digit4');
  await mirror('1 plus 1 | Settings | Score 4 | Exit | 2 | 7 | 10 | 0');
  if (!(await page.evaluate(() => window.chalkmere.soundsStarted > 0))) fail('the keys started no sound');

  step('Tab round the drill and on to the settings button, outlined; the page neither scrolls nor moves its own focus');
  await focusBy('Tab', 'Settings', 'Exit', '2', '7', '10', '0', 'Settings');
  await expectScreen(page, 'e2e-keys-game', 'game-focus');
  const still = await page.evaluate(() => [scrollX, scrollY, document.getElementById('mirror').scrollLeft,
                                           document.getElementById('mirror').scrollTop, document.hasFocus()].join());
  if (still !== '0,0,0,0,true') fail(`the page's scroll, the mirror's and the page's focus are ${still}`);
  await expectRegistry(page, values('missing', 'missing'));

  step('Enter opens the settings, the focus on their heading');
  await keys.press('Enter');
  await expectScreen(page, 'e2e-keys-settings', 'settings');
  await expectRegistry(page, values('missing', 'missing'));

  step('Tab and the arrows reach level 3, chosen by Enter');
  await focusBy('Tab', 'Exit', 'Automatic levelling');
  await focusBy('ArrowDown', 'Level 1');
  await focusBy('ArrowRight', 'Level 2', 'Level 3');
  await keys.press('Enter');
  await expectRegistry(page, values(3, 'missing'), 5000);

  step('Shift+Tab back to automatic levelling, switched off by Space');
  await keys.down('Shift');
  await focusBy('Tab', 'Level 2', 'Level 1', 'Automatic levelling');
  await keys.up('Shift');
  await keys.press('Space');
  await expectScreen(page, 'e2e-keys-settings-auto', 'settings-auto');
  await expectRegistry(page, values(3, 1));

  step('Escape is OK: the drill at level 3');
  await keys.press('Escape');
  await expectScreen(page, 'e2e-keys-level3', 'level3');
  await expectRegistry(page, values(3, 1));
  await context.close();
}

// Clicks, as a screen reader or a switch does, the one element Chromium names `name` in `role`.
async function pressNamed(cdp, role, name) {
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  const found = nodes.filter((node) => node.role?.value === role && node.name?.value === name);
  if (found.length !== 1) fail(`a screen reader finds ${found.length} ${role}s named "${name}"`);
  const { object } = await cdp.send('DOM.resolveNode', { backendNodeId: found[0].backendDOMNodeId });
  await cdp.send('Runtime.callFunctionOn', { objectId: object.objectId, functionDeclaration: 'function () { this.click(); }' });
}

// A child who plays by a screen reader or a switch: the page as Chromium hands it to them, and
// the mirror's buttons pressed as they press them.
async function screenReaderStory(browser) {
  story = 'screen reader';
  const context = await browser.createBrowserContext();
  const page = await openPage(context, { width: 260, height: 340 }, 'reader');
  const cdp = await page.target().createCDPSession();
  await cdp.send('Accessibility.enable');
  const hears = (expected) => until('a screen reader finds', () => readAloud(cdp), expected);
  const drill = (said, score, cards) => `status (polite): ${said} | button: Settings | text: Score ${score} | button: Exit | ` +
    cards.map((n) => `button: ${n}`).join(' | ');
  const settings = (level) => 'button: Children | button: Exit | checkbox: Automatic levelling (checked) | group [' +
    Array.from({ length: 12 }, (_, l) => `radio: Level ${l + 1}${l + 1 === level ? ' (checked)' : ''}`).join(', ') + '] | ' +
    Array.from({ length: 12 }, (_, l) => `text: Level ${l + 1}: ${l ? 0 : 100} percent right`).join(' | ') +
    ' | button: OK | button: Reset: hold for two seconds';

  step('the page has a language and a title; its Start button starts');
  await start(page);
  const named = await page.evaluate(() => `${document.documentElement.lang} ${document.title}`);
  if (named !== 'en Chalkmere') fail(`the page's language and title are ${named}`);
  await hears('button: Start');
  await pressNamed(cdp, 'button', 'Start');
  await expectScreen(page, 'e2e-game', 'game');

  step('the drill: the problem in words in a live region, the four cards named by their numbers');
  await hears(drill('2 plus 4', 0, [9, 5, 4, 6]));

  step("the right card's button scores, and the live region says so before the next problem");
  await page.evaluate(() => {
    window.said = [];
    window.listening = new MutationObserver(() => window.said.push(document.querySelector('#mirror [role=status]').textContent));
    window.listening.observe(document.getElementById('mirror'), { subtree: true, childList: true, characterData: true });
  });
  await pressNamed(cdp, 'button', '6');
  await expectRegistry(page, ['score=12', 'level=missing', 'auto=missing', stat(1, 1, 1)], 5000);
  await hears(drill('1 plus 1', 12, [2, 7, 10, 0]));
  const said = await page.evaluate(() => window.listening.disconnect() ?? [...new Set(window.said)].join(' | '));
  if (said !== 'Right, 12 points | 1 plus 1') fail(`the live region said ${said}`);

  step('the settings button opens the settings: the checkbox, the radio group and the percentages, with their states');
  await pressNamed(cdp, 'button', 'Settings');
  await hears(settings(1));
  await settle(page);

  step('the mirror neither moves nor covers the canvas');
  const box = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const r = canvas.getBoundingClientRect();
    let covered = 0;
    for (let y = 0.5; y < r.height; y += 4) for (let x = 0.5; x < r.width; x += 4) covered += document.elementFromPoint(r.left + x, r.top + y) !== canvas;
    return `${r.left},${r.top} ${r.width}x${r.height}, ${covered} points covered`;
  });
  if (box !== '10,10 240x320, 0 points covered') fail(`the canvas is at ${box}`);

  step('the radio of level 3 chooses it (stored, and read as checked); OK returns to the drill at level 3');
  await pressNamed(cdp, 'radio', 'Level 3');
  await expectRegistry(page, ['score=12', 'level=3', 'auto=missing', stat(1, 1, 1)], 5000);
  await hears(settings(3));
  await pressNamed(cdp, 'button', 'OK');
  await hears(drill('1 minus 1', 12, [2, 0, 6, 4]));
  await context.close();
}

// Storage the browser refuses: full (each write throws), or switched off (touching it throws).
const refusals = {
  // Room for the key, none for a value, until the story frees some (window.storageFreed).
  full: () => {
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function (value, key) {
      if (value !== '' && !window.storageFreed) throw new DOMException('full', 'QuotaExceededError');
      return put.call(this, value, key);
    };
  },
  refused: () => Object.defineProperty(window, 'indexedDB', { get() { throw new DOMException('no', 'SecurityError'); } }),
};

async function refusedStorageStory(browser) {
  for (const [kind, prepare] of Object.entries(refusals)) {
    story = `storage ${kind}`;
    const context = await browser.createBrowserContext();
    const page = await openPage(context, { width: 800, height: 1000 }, kind, prepare);
    step('the game plays on as before, and nothing is stored');
    await start(page);
    await playToSettings(page, false, () => NOTHING);
    if (kind === 'full') await storageFreedStory(page);
    await context.close();
  }
}

// Level 3 was chosen while storage was full, so it was never saved: the next save keeps it.
async function storageFreedStory(page) {
  step('storage frees: the next result saves the level chosen while it was full, and a reload keeps it');
  await page.evaluate(() => { window.storageFreed = true; });
  await tap(page, false, 65, 275, 2);
  await expectScreen(page, 'e2e-game-level3', 'level3');
  // 1 - 1 = 0, its right card in slot 1, at the first try: 12 points.
  await tap(page, false, ...card(1));
  await expectRegistry(page, ['score=12', 'level=3', 'auto=missing',
    'stat=0/1 0/0 1/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0'], 5000);
  await page.reload({ waitUntil: 'load' });
  await waitForState(page, 'running');
  await expectScreen(page, 'app-title', 'reloaded', 10000);
  await tap(page, false, 120, 160);
  // Level 3's three stars.
  await expectScreen(page, 'e2e-game-level3', 'reloaded-game', 5000, (x, y) => x >= 200 && y >= 40 && y < 110);
}

// The browser's preferred languages, as a browser set to them hands them to the page.
async function prefer(page, languages) {
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setUserAgentOverride', { userAgent: await page.browser().userAgent(), acceptLanguage: languages });
}
async function expectLanguage(page, tag) {
  const language = await page.evaluate(() => document.documentElement.lang);
  if (language !== tag) fail(`the page's language is ${language}, not ${tag}`);
}
const liveLine = (page) => page.evaluate(() => document.querySelector('#mirror [role=status]')?.textContent);

// A browser that prefers German, and the Ukrainian page's address in an English browser: each
// game speaks its language from the start (the page's language, the settings' board, a division
// written with the language's sign and read out in its words, the closed notice; in German a
// failed first load too) and stores what an English game stores. A malformed code is English.
async function languagesStory(browser) {
  for (const [tag, languages, query, notLoaded, division, closed] of [
    ['de', 'de-DE', '', [/^Chalkmere konnte nicht geladen werden\./, 'Noch mal versuchen'],
     /^(\d+) geteilt durch (\d+)$/, [/^Chalkmere ist beendet\.$/, 'Noch mal spielen']],
    ['uk', 'en-US', '?lang=uk', null, /^(\d+) поділити на (\d+)$/, [/^Chalkmere закрито\.$/, 'Грати знову']],
  ]) {
    story = `languages ${tag}`;
    const context = await browser.createBrowserContext();
    const page = await openPage(context, { width: 260, height: 340 }, tag);
    await prefer(page, languages);
    if (notLoaded) {
      step('a first visit whose module cannot be fetched says so in its words, and its button tries again');
      server.mode = 'no-wasm';
      try {
        await page.goto(url + query, { waitUntil: 'load' });
        await waitForState(page, 'load-failed', 5000);
      } finally {
        server.mode = null;
      }
      forgive(tag);
      await expectLanguage(page, tag);
      await pressNotice(page, ...notLoaded);
    }

    step(`the game ${query || `of a browser preferring ${languages}`} speaks "${tag}"`);
    if (!notLoaded) await page.goto(url + query, { waitUntil: 'load' });
    await waitForState(page, 'running', 10000);
    await expectScreen(page, 'app-title', 'title', 10000);
    await expectLanguage(page, tag);

    step('its drill and settings board; level 10 chosen there; OK: a division in its sign and words');
    await tap(page, false, 120, 160);
    await expectScreen(page, `languages-${tag}-drill`, 'drill');
    await tap(page, false, 32, 37);
    await expectScreen(page, `languages-${tag}-settings`, 'settings');
    await tap(page, false, 30 + 30 * 3 + 5, 87 + 22 + 5);
    await expectRegistry(page, ['score=missing', 'level=10', 'auto=missing', 'stat=missing'], 5000);
    await tap(page, false, 65, 275);
    await until('the live line says', () => liveLine(page), division);
    await expectScreen(page, `languages-${tag}-division`, 'division');

    step('its right card scores, stored as in every language');
    const [, dividend, divisor] = division.exec(await liveLine(page));
    const cards = await page.evaluate(() => Array.from(document.querySelectorAll('#mirror button'), (b) => b.textContent).slice(-4));
    const slot = cards.indexOf(String(dividend / divisor));
    if (slot < 0) fail(`no card of ${cards} is ${dividend} / ${divisor}`);
    await tap(page, false, ...card(slot));
    await expectRegistry(page, ['score=12', 'level=10', 'auto=missing', stat(10, 1, 1)], 5000);

    step('the exit box: the closed notice and its button in its words');
    await tap(page, false, 208 + 10, 20 + 10);
    await waitForState(page, 'ended');
    await pressNotice(page, ...closed, false);
    await context.close();
  }

  story = 'languages xx-!!';
  step('a malformed code starts in English');
  const context = await browser.createBrowserContext();
  const page = await openPage(context, { width: 260, height: 340 }, 'xx');
  await start(page, `${url}?lang=xx-!!`);
  await expectLanguage(page, 'en');
  await tap(page, false, 120, 160);
  await expectScreen(page, 'e2e-game', 'game');
  await until('the live line says', () => liveLine(page), '2 plus 4');
  await context.close();
}

async function touchStory(browser) {
  story = 'touch';
  const context = await browser.createBrowserContext();
  const page = await openPage(context, { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true }, 'phone');

  step('the title fills the width at the largest whole factor, centred, and nothing scrolls');
  await start(page);
  const r = await canvasBox(page);
  const room = await page.evaluate(() => [innerWidth, innerHeight, document.scrollingElement.scrollWidth, document.scrollingElement.scrollHeight]);
  // 390 CSS pixels are 1170 device pixels: 4 x 240 fit, 5 x 240 do not.
  if (Math.round(r.width * 3) !== 4 * W || Math.abs(r.left + r.width / 2 - room[0] / 2) > 0.5 ||
      room[2] > room[0] || room[3] > room[1])
    fail(`the canvas is ${r.width} CSS pixels wide at x ${r.left} in a page of ${room}`);
  await playToSettings(page, true);

  step('a second finger, while the first rests on the board, chooses nothing');
  const resting = await page.touchscreen.touchStart(...onPage(r, 120, 20));
  const second = await page.touchscreen.touchStart(...onPage(r, 30 + 30 * 4 + 5, 87 + 5));
  await second.end();
  await resting.end();
  await sleep(500);
  await expectRegistry(page, ['score=0', 'level=3', 'auto=missing', PLAYED]);

  step('a swipe beside and across the canvas does not scroll the page');
  for (const [x, from, to] of [[room[0] / 2, room[1] - 10, room[1] - 300], [room[0] / 2, r.top + r.height - 10, r.top + 10]]) {
    await page.touchscreen.touchStart(x, from);
    for (let i = 1; i <= 10; i++) await page.touchscreen.touchMove(x, from + ((to - from) * i) / 10);
    await page.touchscreen.touchEnd();
    await sleep(200);
    const scrolled = await page.evaluate(() => [scrollX, scrollY, visualViewport.pageTop]);
    if (scrolled.some((v) => v !== 0)) fail(`the page scrolled to ${scrolled}`);
  }
  await context.close();
}

// The browser killed (its whole process group, as a crash, a dead battery or the system's memory
// killer would) right after each of ten right answers, and started again on the same profile:
// each answer is kept.
let crashing = null;
async function crashStory() {
  story = 'crash';
  step('the browser killed right after each of ten right answers keeps every one of them');
  const profile = fs.mkdtempSync(path.join(workDir, 'profile-'));
  // The first problem of the stories' seed at level 1, its right card in slot 3, each time.
  const kept = (n) => n === 0 ? NOTHING : [`score=${12 * n}`, 'level=missing', 'auto=missing',
    `stat=${n}/${n}${' 0/0'.repeat(11)}`];
  for (let round = 1; round <= 10; round++) {
    crashing = await launch(1, profile);
    const page = await openPage(crashing.defaultBrowserContext(), { width: 800, height: 1000 }, `crash${round}`);
    await page.goto(url, { waitUntil: 'load' });
    await waitForState(page, 'running');
    await expectRegistry(page, kept(round - 1));
    await tap(page, false, 120, 160);
    await expectScreen(page, 'e2e-game', `crash${round}`, 5000, (x, y) => y >= 268);
    await tap(page, false, ...card(3));
    await expectRegistry(page, kept(round), 5000);
    const chromium = crashing.process();
    process.kill(-chromium.pid, 'SIGKILL');
    if (chromium.exitCode === null && chromium.signalCode === null) await new Promise((resolve) => chromium.once('exit', resolve));
    crashing = null;
  }
}

// Each story in a Chromium of its own, with the scale factor the browser's own (as on a phone,
// where layout works in device pixels): an emulated factor lays out in CSS pixels and snaps a
// canvas of 1280 / 3 CSS pixels to 1278 or 1281 device pixels.
// Every story but the languages' is English whatever the machine's language: headless Chromium
// takes its languages from --accept-lang (here LANG and LANGUAGE are not read, nor --lang).
const launch = (scale, userDataDir = undefined) => puppeteer.launch({ executablePath: process.env.CHALKMERE_CHROMIUM || '/usr/bin/chromium', userDataDir,
  headless: true, args: ['--no-sandbox', '--disable-gpu', `--force-device-scale-factor=${scale}`, '--lang=en-US', '--accept-lang=en-US'] });
// CHALKMERE_STORIES=keys,screenReader tells only those stories (their functions' names less "Story").
const chosen = (play) => !process.env.CHALKMERE_STORIES ||
  process.env.CHALKMERE_STORIES.split(',').includes(play.name.replace(/Story$/, ''));
const watchdog = setTimeout(() => { console.error(`FAIL [${story}]: the story took more than 240 s`); process.exit(1); }, 240000);
let browser;
let status = 0;
try {
  for (const [scale, stories] of [[1, [browserTestsStory, refusedStorageStory, desktopStory, childrenStory, keysStory,
                                        screenReaderStory, languagesStory, networkStory]], [3, [touchStory]]]) {
    if (!stories.some(chosen)) continue;
    browser = await launch(scale);
    for (const play of stories.filter(chosen)) await play(browser);
    await browser.close();
  }
  if (chosen(crashStory)) await crashStory();
  checkPage();
} catch (error) {
  status = 1;
  console.error(error instanceof Failure ? `FAIL [${story}]: ${error.message}` : error.stack);
} finally {
  await browser?.close().catch(() => {});
  if (crashing) process.kill(-crashing.process().pid, 'SIGKILL');
  await server.stop();
  clearTimeout(watchdog);
  pageLog.end();
}
console.log(`the web story took ${((Date.now() - began) / 1000).toFixed(1)} s: ` +
            (status ? `the last of ${steps} steps failed` : `all ${steps} steps passed`));
process.exit(status);
