// A static file server on a free loopback port for the web build's folder, which can be
// stopped and started again on the same port (the same origin): that is how the network goes
// away in the stories. Its `site` can be changed (a new build deployed), and its `mode` makes
// it a bad network: 'hang' accepts and never answers, '503' answers every request with an
// error page, 'no-wasm' has no module, 'portal' answers every path with a captive portal's
// sign-in page.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.svg': 'image/svg+xml' };

// `extra` maps paths to pages of the caller's own (a benchmark's baseline).
export async function serve(folder, extra = {}) {
  const state = { site: path.resolve(folder), mode: null };
  const server = http.createServer((request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const html = (status, text) => response.writeHead(status, { 'Content-Type': 'text/html' }).end(text);
    if (state.mode === 'hang') return;
    if (state.mode === '503') return html(503, '<h1>503 Service Unavailable</h1>');
    if (state.mode === 'portal') return html(200, '<h1>Sign in to use this network</h1>');
    if (extra[wanted]) return html(200, extra[wanted]);
    const site = path.resolve(state.site);
    const file = path.join(site, wanted.endsWith('/') ? wanted + 'index.html' : wanted);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file) ||
        (state.mode === 'no-wasm' && file.endsWith('.wasm')))
      return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  const start = (port) => new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  await start(0);
  const port = server.address().port;
  return Object.assign(state, {
    url: `http://127.0.0.1:${port}/`,
    start: () => start(port),
    stop: () => new Promise((resolve) => {
      if (!server.listening) return resolve();
      server.close(resolve);
      server.closeAllConnections();
    }),
  });
}
