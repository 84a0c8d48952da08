#!/usr/bin/env node
// A small static file server for the web page, on this machine only:
//
//   node tools/web/serve.mjs DIR [PORT]     (PORT 0 or none: any free port)
//
// Also used by the browser test, through serve().
//
// Any web page open in the same browser can send it requests, so it trusts
// none: it listens on 127.0.0.1 only, answers only requests addressed to that
// address by name (a page on another site that rebinds its own name to
// 127.0.0.1 is refused), only GET and HEAD, and only for regular files whose
// real path lies inside DIR. A path is decoded once; one with control bytes,
// encoded slashes or backslashes, "." or ".." segments in any spelling, or
// more than MAX_TARGET bytes is refused before it reaches the file system. A
// fault in a request costs that request (500 and one line on stderr), never
// the server.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { pipeline } from 'node:stream';
import { fileURLToPath } from 'node:url';

const USAGE = 'usage: serve.mjs DIR [PORT]   (DIR holds index.html; PORT: 0 to 65535, 0 for any free one)';
const ADDRESS = '127.0.0.1';
const LOOPBACK_NAMES = ['127.0.0.1', 'localhost', '[::1]'];
// The longest request target answered: the page's paths are short.
const MAX_TARGET = 1024;

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.json': 'application/json',
    '.webmanifest': 'application/manifest+json',
    '.css': 'text/css; charset=utf-8',
    '.txt': 'text/plain; charset=utf-8',
    '.png': 'image/png',
    '.svg': 'image/svg+xml',
    '.ico': 'image/x-icon',
};

// Every answer is fetched anew (a rebuilt page must not come from a cache)
// and taken as the type it is sent as.
const COMMON_HEADERS = { 'Cache-Control': 'no-cache', 'X-Content-Type-Options': 'nosniff' };

function answer(response, status, text, headers = {}) {
    if (response.headersSent || response.destroyed) {
        response.destroy();
        return;
    }
    response.writeHead(status, {
        ...COMMON_HEADERS,
        'Content-Type': 'text/plain; charset=utf-8',
        'Content-Length': Buffer.byteLength(text) + 1,
        ...headers,
    });
    response.end(`${text}\n`);
}

// Whether the request names this server as the browser reached it: one Host
// header, a loopback name and the port it listens on (a browser leaves out
// port 80). Anything else may be a page of another site whose name now
// points at 127.0.0.1.
function hostAllowed(request, port) {
    const hosts = [];
    for (let i = 0; i + 1 < request.rawHeaders.length; i += 2) {
        if (request.rawHeaders[i].toLowerCase() === 'host') hosts.push(request.rawHeaders[i + 1]);
    }
    if (hosts.length !== 1) return false;
    const host = hosts[0].toLowerCase();
    return LOOPBACK_NAMES.some((name) => host === `${name}:${port}` || (port === 80 && host === name));
}

// The request target as the path's segments below the served folder
// ({ segments }), or why it is refused ({ status, text }).
function targetSegments(target) {
    const refused = (status, text) => ({ status, text });
    if (target.length > MAX_TARGET) return refused(414, 'URI too long');
    const raw = target.split('?', 1)[0];
    if (!raw.startsWith('/')) return refused(400, 'Bad request: the path must start with /');
    // Only printable ASCII: no raw control bytes, spaces, non-ASCII bytes or
    // backslashes (which some clients take for slashes).
    if (/[^\x21-\x7e]|[\\#]/.test(raw)) return refused(400, 'Bad request: a byte not allowed in a path');
    if (/%2f|%5c/i.test(raw)) return refused(400, 'Bad request: an encoded slash or backslash');
    let name;
    try {
        name = decodeURIComponent(raw);
    } catch {
        return refused(400, 'Bad request: a malformed %-escape');
    }
    if (/[\x00-\x1f\x7f-\x9f]/.test(name)) return refused(400, 'Bad request: a control character');
    const segments = name.slice(1).split('/');
    if (segments.at(-1) === '') segments[segments.length - 1] = 'index.html';
    if (segments.some((segment) => segment === '' || segment === '.' || segment === '..')) {
        return refused(400, 'Bad request: an empty, "." or ".." segment');
    }
    return { segments };
}

// The open file, its size and its real path when `file` is a regular file
// whose real path lies inside `base`; null otherwise. The file is opened
// before it is measured, so that it cannot vanish in between; O_NONBLOCK
// keeps a named pipe from blocking the open.
async function openInside(base, file) {
    let real;
    try {
        real = await fs.promises.realpath(file);
    } catch {
        return null;
    }
    if (!real.startsWith(base.endsWith(path.sep) ? base : base + path.sep)) return null;
    const { O_RDONLY, O_NONBLOCK, O_NOFOLLOW } = fs.constants;
    let handle;
    try {
        handle = await fs.promises.open(real, O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    } catch {
        return null;
    }
    const stat = await handle.stat().catch(() => null);
    if (!stat || !stat.isFile()) {
        await handle.close();
        return null;
    }
    return { handle, size: stat.size, real };
}

// Sends the open file's first `size` bytes. When the file shrinks while it
// is read (rewritten in place as the page is rebuilt) the connection is cut
// rather than left waiting for bytes that will never come.
function sendFile(request, response, { handle, size, real }) {
    response.writeHead(200, {
        ...COMMON_HEADERS,
        'Content-Type': TYPES[path.extname(real).toLowerCase()] || 'application/octet-stream',
        'Content-Length': size,
    });
    if (request.method === 'HEAD' || size === 0) {
        response.end();
        handle.close().catch(() => {});
        return;
    }
    const stream = handle.createReadStream({ start: 0, end: size - 1 });
    // Checked before the pipeline ends the answer: an ended answer lets go
    // of its connection, which could then no longer be cut.
    stream.once('end', () => {
        if (stream.bytesRead < size) response.destroy();
    });
    pipeline(stream, response, (error) => {
        if (error && error.code !== 'ERR_STREAM_PREMATURE_CLOSE') {
            console.error(`serve.mjs: reading ${real}: ${error.message}`);
        }
        if (error) response.destroy();
    });
}

async function respond(base, request, response) {
    const port = request.socket.localPort;
    if (!hostAllowed(request, port)) {
        answer(response, 403, `Forbidden: this server answers only to http://${ADDRESS}:${port}/`);
        return;
    }
    if (request.method !== 'GET' && request.method !== 'HEAD') {
        answer(response, 405, 'Method not allowed', { Allow: 'GET, HEAD' });
        return;
    }
    const target = targetSegments(request.url);
    if (!target.segments) {
        answer(response, target.status, target.text);
        return;
    }
    const file = await openInside(base, path.join(base, ...target.segments));
    if (!file) {
        answer(response, 404, 'Not found');
        return;
    }
    sendFile(request, response, file);
}

// One request's fault ends that request only: 500 (or a cut connection once
// the answer has begun) and one line on stderr.
function guarded(base) {
    return (request, response) => {
        response.on('error', () => {});
        respond(base, request, response).catch((error) => {
            const reason = String(error?.stack?.split('\n', 2).join(' ') ?? error).replace(/\s+/g, ' ');
            console.error(`serve.mjs: ${request.method} ${JSON.stringify(request.url)}: ${reason}`);
            answer(response, 500, 'Internal server error');
        });
    };
}

// Serves the files under root on 127.0.0.1:port; resolves to the server
// once it listens (server.address().port is the port), rejects when it
// cannot.
export async function serve(root, port = 0) {
    const base = await fs.promises.realpath(root);
    const server = http.createServer(guarded(base));
    await new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, ADDRESS, () => {
            server.off('error', reject);
            resolve();
        });
    });
    server.on('error', (error) => console.error(`serve.mjs: ${error.message}`));
    return server;
}

// PORT as a number, or null when it is not a whole number from 0 to 65535.
function parsePort(text) {
    if (!/^[0-9]{1,5}$/.test(text)) return null;
    const port = Number(text);
    return port <= 65535 ? port : null;
}

async function main(args) {
    const [root, portText = '0', ...extra] = args;
    const port = parsePort(portText);
    if (!root || extra.length > 0 || port === null || !fs.existsSync(path.join(root, 'index.html'))) {
        console.error(USAGE);
        process.exit(2);
    }
    let server;
    try {
        server = await serve(root, port);
    } catch (error) {
        const reason = { EADDRINUSE: 'the port is in use', EACCES: 'the port needs privileges' };
        const where = `${ADDRESS}:${port}`;
        console.error(`serve.mjs: cannot listen on ${where}: ${reason[error.code] || error.message}`);
        process.exit(2);
    }
    console.log(`Serving ${path.resolve(root)} at http://${ADDRESS}:${server.address().port}/`);
    console.log('Ctrl+C stops it.');
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    await main(process.argv.slice(2));
}
