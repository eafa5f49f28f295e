// A static file server on a free loopback port for the web build's folder, which can be
// stopped and started again on the same port (the same origin): that is how the network goes
// away in the stories.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.svg': 'image/svg+xml' };

// `extra` maps paths to pages of the caller's own (a benchmark's baseline).
export async function serve(folder, extra = {}) {
  const site = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (extra[wanted]) return response.writeHead(200, { 'Content-Type': 'text/html' }).end(extra[wanted]);
    const file = path.join(site, wanted.endsWith('/') ? wanted + 'index.html' : wanted);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  const start = (port) => new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  await start(0);
  const port = server.address().port;
  return {
    url: `http://127.0.0.1:${port}/`,
    start: () => start(port),
    stop: () => new Promise((resolve) => {
      if (!server.listening) return resolve();
      server.close(resolve);
      server.closeAllConnections();
    }),
  };
}
