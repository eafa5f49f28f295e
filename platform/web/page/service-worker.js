// Keeps Chalkmere playable offline after the first visit.
//
// Network first, cache as the fallback: chalkmere.js and chalkmere.wasm only work as the pair
// one build made, so online the game always takes both fresh from the server and offline both
// from the cache of one build. The build stamps its own hash into the cache name, so a new
// build is a new service worker with a new cache, and the old one is dropped.

'use strict';

// Named after the folder too: two copies of the game on one site keep their own caches.
const PREFIX = 'chalkmere ' + self.registration.scope + ' ';
const CACHE = PREFIX + '@CHALKMERE_WEB_BUILD@';

// Relative to this script, so the game can live in any folder of a site.
const FILES = [
  './',
  'index.html',
  'chalkmere.js',
  'chalkmere.wasm',
  'manifest.webmanifest',
  'icons/chalkmere-192.png',
  'icons/chalkmere-512.png',
  'icons/chalkmere-maskable-512.png',
  'icons/chalkmere.svg',
];

self.addEventListener('install', (event) => {
  // 'reload' skips the browser's HTTP cache, which may still hold the previous build's files
  const requests = FILES.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(
    caches.open(CACHE)
      .then((cache) => cache.addAll(requests))
      .then(() => self.skipWaiting()));
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
  event.respondWith(
    fromNetwork(request, event).catch(() => fromCache(request)));
});

async function fromNetwork(request, event) {
  // 'no-cache' asks the server every time (a cheap 304 when nothing changed), so a stale
  // HTTP-cached script can never meet a fresh wasm
  const response = await fetch(request, { cache: 'no-cache' });
  // an error page or an opaque answer must never stand in for the game offline, and a
  // redirected one would be refused when replayed to a navigation
  if (response.status === 200 && response.type === 'basic' && !response.redirected) {
    const copy = response.clone();
    event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
  }
  return response;
}

async function fromCache(request) {
  const cached = await caches.match(request, { cacheName: CACHE });
  if (cached) {
    return cached;
  }
  // the start page may be opened by another address in its folder, or with a query
  if (request.mode === 'navigate') {
    const page = await caches.match('index.html', { cacheName: CACHE });
    if (page) {
      return page;
    }
  }
  return Response.error();
}
