// Serves a folder of static files on the loopback interface: the site for
// trying it out, and for the tests and the benchmark.
//   node web/serve.mjs DIR [--port N]
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.ico': 'image/x-icon',
};

// Resolves to the server once it listens; port 0 takes any free port.
export function serve(dir, port = 0) {
  const root = resolve(dir);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': types[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const args = process.argv.slice(2);
  const at = args.indexOf('--port');
  const port = at >= 0 ? Number(args[at + 1]) : 8080;
  const dir = args.find((a, k) => !a.startsWith('--') && args[k - 1] !== '--port');
  if (!dir || !Number.isInteger(port) || port < 0 || port > 65535) {
    console.error('usage: node web/serve.mjs DIR [--port N]');
    process.exit(2);
  }
  const server = await serve(dir, port).catch((error) => {
    console.error(`Cannot serve on 127.0.0.1:${port}: ${error.code === 'EADDRINUSE' ? 'the port is taken (try --port N)' : error.message}`);
    process.exit(1);
  });
  console.log(`heatplate in the browser: http://127.0.0.1:${server.address().port}/`);
  console.log('Ctrl-C stops the server.');
}
