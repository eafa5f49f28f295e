// Keeps Chalkmere playable offline after the first visit, and playable on a bad network.
//
// A build is kept as one set: its page, chalkmere.<build>.js and .wasm (named after their
// content, so they never change under their names), the manifest and the icons, all fetched
// and checked before any is kept. A new build is a new service worker (this file names its
// build), which keeps its own set and then drops the one before; a build the server offers
// only in part is never kept. The page itself is asked of the network first, for a new build
// to run on the next visit, but only briefly: a server that accepts and never answers, an
// error page or a captive portal's sign-in page falls back to the kept build.

'use strict';

const BUILD = '@CHALKMERE_WEB_BUILD@';
// Named after the folder too: two copies of the game on one site keep their own caches.
const PREFIX = 'chalkmere ' + self.registration.scope + ' ';
const CACHE = PREFIX + BUILD;
// How long a page waits for the network before the kept one is shown; tests shorten it.
const WAIT_MS = Number(new URL(self.location.href).searchParams.get('wait')) || 3000;

// Relative to this script, so the game can live in any folder of a site.
const FILES = [
  './',
  'index.html',
  `chalkmere.${BUILD}.js`,
  `chalkmere.${BUILD}.wasm`,
  'manifest.webmanifest',
  'icons/chalkmere-192.png',
  'icons/chalkmere-512.png',
  'icons/chalkmere-maskable-512.png',
  'icons/chalkmere.svg',
  // every language's block, so the installed game plays offline in each
@CHALKMERE_LANGUAGE_FILES@];

// The content type each kind of file must come with.
const TYPES = { '/': 'text/html', html: 'text/html', js: 'javascript', wasm: 'application/wasm',
  webmanifest: 'json', bin: 'application/octet-stream', png: 'image/png', svg: 'image/svg+xml' };

// A whole, successful answer of the kind asked for. A page counts only if it is the game's
// (of `build`, when given): a portal's 200 page at the game's address is not.
async function usable(request, response, build) {
  if (!response || response.status !== 200 || response.type !== 'basic' || response.redirected) {
    return false;
  }
  const path = new URL(request.url).pathname;
  const kind = request.mode === 'navigate' || path.endsWith('/') ? '/' : path.slice(path.lastIndexOf('.') + 1);
  const type = TYPES[kind] || '';
  if (!(response.headers.get('Content-Type') || '').includes(type)) return false;
  if (type !== 'text/html') return true;
  const marker = 'name="chalkmere-build" content="' + (build || '');
  return (await response.clone().text()).includes(marker);
}

// The whole build or nothing: a server caught halfway through a deployment, or answering
// with anything but this build's files, leaves the last complete build in place.
async function keepBuild() {
  // 'reload' skips the browser's HTTP cache, which may still hold another build's page
  const requests = FILES.map((file) => new Request(file, { cache: 'reload' }));
  const responses = await Promise.all(requests.map((request) => fetch(request)));
  for (let i = 0; i < requests.length; ++i) {
    if (!(await usable(requests[i], responses[i], BUILD))) throw new Error(FILES[i] + ' is not of this build');
  }
  const cache = await caches.open(CACHE);
  try {
    await Promise.all(requests.map((request, i) => cache.put(request, responses[i])));
  } catch (error) {
    await caches.delete(CACHE);
    throw error;
  }
}

self.addEventListener('install', (event) => {
  event.waitUntil(keepBuild().then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches.keys()
      .then((names) => Promise.all(names
        .filter((name) => name.startsWith(PREFIX) && name !== CACHE)
        .map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) {
    return;
  }
  event.respondWith(answer(request));
});

async function answer(request) {
  const page = request.mode === 'navigate';
  // the start page may be opened by another address in its folder, or with a query
  const kept = await caches.match(page ? 'index.html' : request, { cacheName: CACHE });
  if (kept && !page) return kept;
  const fresh = await fromNetwork(request);
  if (fresh !== null && fresh.usable) return fresh.response;
  // nothing kept: the network's own answer, so that a first visit can tell what went wrong
  return kept || (fresh !== null ? fresh.response : Response.error());
}

// The network's answer and whether it is usable, or null when it fails or does not come
// within WAIT_MS.
async function fromNetwork(request) {
  const controller = new AbortController();
  const timer = setTimeout(() => controller.abort(), WAIT_MS);
  try {
    // 'no-cache' asks the server every time (a cheap 304 when nothing changed)
    const response = await fetch(request, { cache: 'no-cache', signal: controller.signal });
    return { response, usable: await usable(request, response) };
  } catch (error) {
    return null;
  } finally {
    clearTimeout(timer);
  }
}
