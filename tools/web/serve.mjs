#!/usr/bin/env node
// A small static file server for the web page, on this machine only:
//
//   node tools/web/serve.mjs DIR [PORT]     (PORT 0 or none: any free port)
//
// Also used by the browser test, through serve().
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.css': 'text/css; charset=utf-8',
    '.png': 'image/png',
    '.ico': 'image/x-icon',
};

// Serves the files under root on 127.0.0.1:port; resolves to the server
// once it listens (server.address().port is the port).
export function serve(root, port = 0) {
    const base = path.resolve(root);
    const server = http.createServer((request, response) => {
        if (request.method !== 'GET' && request.method !== 'HEAD') {
            response.writeHead(405, { Allow: 'GET, HEAD' }).end();
            return;
        }
        let name;
        try {
            name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
        } catch {
            response.writeHead(400).end();
            return;
        }
        if (name.endsWith('/')) name += 'index.html';
        const file = path.join(base, path.normalize(name));
        if (file !== base && !file.startsWith(base + path.sep)) {
            response.writeHead(403).end();
            return;
        }
        fs.stat(file, (error, stat) => {
            if (error || !stat.isFile()) {
                response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
                return;
            }
            response.writeHead(200, {
                'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                'Content-Length': stat.size,
                'Cache-Control': 'no-cache',
            });
            if (request.method === 'HEAD') {
                response.end();
            } else {
                fs.createReadStream(file).pipe(response);
            }
        });
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => resolve(server));
    });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const root = process.argv[2];
    const port = Number(process.argv[3] || 0);
    if (!root || !fs.existsSync(path.join(root, 'index.html'))) {
        console.error('usage: serve.mjs DIR [PORT]   (DIR holds index.html)');
        process.exit(2);
    }
    const server = await serve(root, port);
    console.log(`Serving ${path.resolve(root)} at http://127.0.0.1:${server.address().port}/`);
    console.log('Ctrl+C stops it.');
}
