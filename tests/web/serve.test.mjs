// The page's file server (tools/web/serve.mjs) run as `scripts/web serve`
// runs it, and sent what any web page in the same browser, or anything else
// on this machine, could send it: hostile paths and headers over raw sockets
// (the bytes exactly as written, NUL and control bytes raw too), symbolic
// links out of the folder, files deleted or cut short while they are read,
// many requests at once, and bad ports. After each the server must still
// answer GET / with 200.
//
//   node --test tests/web/serve.test.mjs
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

const SERVE = fileURLToPath(new URL('../../tools/web/serve.mjs', import.meta.url));
const INDEX = '<!doctype html><title>index</title>\n';
const SECRET = 'SECRET-OUTSIDE-THE-FOLDER';
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// top/secret.txt beside the served folder top/www, with links out of it.
function makeFolder() {
    const top = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvak-serve-'));
    const www = path.join(top, 'www');
    fs.mkdirSync(path.join(www, 'sub'), { recursive: true });
    fs.writeFileSync(path.join(top, 'secret.txt'), SECRET);
    fs.writeFileSync(path.join(www, 'index.html'), INDEX);
    fs.writeFileSync(path.join(www, 'sub', 'index.html'), 'sub index\n');
    fs.symlinkSync('../secret.txt', path.join(www, 'out.txt'));
    fs.symlinkSync(path.join(top, 'secret.txt'), path.join(www, 'absolute-out.txt'));
    fs.symlinkSync('..', path.join(www, 'outdir'));
    fs.symlinkSync('index.html', path.join(www, 'inside.html'));
    execFileSync('mkfifo', [path.join(www, 'pipe.html')]);
    return { top, www };
}

// Runs `node serve.mjs ARGS...`; resolves to its exit code and stderr, or
// with timedOut once it has run for `ms` (then it is killed).
function runServe(args, ms = 5000) {
    return new Promise((resolve) => {
        const child = spawn(process.execPath, [SERVE, ...args], { stdio: ['ignore', 'ignore', 'pipe'] });
        let stderr = '';
        child.stderr.on('data', (data) => (stderr += data));
        const timer = setTimeout(() => child.kill('SIGKILL'), ms);
        child.on('exit', (code, signal) => {
            clearTimeout(timer);
            resolve({ code, timedOut: signal === 'SIGKILL', stderr });
        });
    });
}

// Starts `node serve.mjs DIR 0` and resolves once it says where it listens.
function startServer(dir) {
    return new Promise((resolve, reject) => {
        const child = spawn(process.execPath, [SERVE, dir, '0'], { stdio: ['ignore', 'pipe', 'pipe'] });
        const server = { child, address: null, port: 0, stderr: '' };
        let stdout = '';
        child.stderr.on('data', (data) => (server.stderr += data));
        child.stdout.on('data', (data) => {
            stdout += data;
            const found = stdout.match(/at http:\/\/([0-9.]+):([0-9]+)\//);
            if (found && !server.port) {
                server.address = found[1];
                server.port = Number(found[2]);
                resolve(server);
            }
        });
        child.on('exit', (code) => reject(new Error(`serve.mjs ended (${code}): ${server.stderr}`)));
    });
}

// Collects an answer as it comes: its head once it is there, then how much
// of the body has come.
class AnswerReader {
    chunks = [];
    size = 0;
    head = null;

    add(chunk) {
        this.chunks.push(chunk);
        this.size += chunk.length;
        if (this.head) return;
        const data = Buffer.concat(this.chunks);
        this.chunks = [data];
        const end = data.indexOf('\r\n\r\n');
        if (end >= 0) this.head = { ...parseHead(data.subarray(0, end)), size: end + 4 };
    }

    complete() {
        return this.head?.length != null && this.size - this.head.size >= this.head.length;
    }

    // { status (null when no answer came), headers, length, body, closed }
    answer(closed) {
        const head = this.head || { status: null, headers: {}, length: null, size: this.size };
        return { ...head, body: Buffer.concat(this.chunks).subarray(head.size), closed };
    }
}

function parseHead(data) {
    const lines = data.toString('latin1').split('\r\n');
    const status = lines[0].match(/^HTTP\/1\.[01] ([0-9]{3}) /);
    const headers = {};
    for (const line of lines.slice(1)) {
        const colon = line.indexOf(':');
        if (colon > 0) headers[line.slice(0, colon).toLowerCase()] = line.slice(colon + 1).trim();
    }
    const length = headers['content-length'] === undefined ? null : Number(headers['content-length']);
    return { status: status ? Number(status[1]) : null, headers, length };
}

// Sends `bytes` on a new connection and reads the answer (AnswerReader's),
// up to the end of its body or until the server closes; fails after `ms`
// or when it cannot connect.
function exchange(port, bytes, { ms = 5000, host = '127.0.0.1' } = {}) {
    return new Promise((resolve, reject) => {
        let connected = false;
        const socket = net.connect(port, host, () => {
            connected = true;
            socket.write(Buffer.from(bytes, 'latin1'));
        });
        const reader = new AnswerReader();
        const timer = setTimeout(() => {
            socket.destroy();
            reject(new Error(`no complete answer within ${ms} ms`));
        }, ms);
        const finish = (closed) => {
            clearTimeout(timer);
            socket.destroy();
            resolve(reader.answer(closed));
        };
        socket.on('data', (chunk) => {
            reader.add(chunk);
            if (reader.complete()) finish(false);
        });
        socket.on('close', () => finish(true));
        socket.on('error', (error) => {
            if (!connected) reject(error);
        });
    });
}

const get = (port, target) =>
    `GET ${target} HTTP/1.1\r\nHost: 127.0.0.1:${port}\r\nConnection: close\r\n\r\n`;

async function assertStillServes(server) {
    const answer = await exchange(server.port, get(server.port, '/'));
    assert.equal(answer.status, 200, 'GET / after it');
    assert.equal(answer.body.toString(), INDEX);
    assert.equal(server.child.exitCode, null, 'the server still runs');
}

let folder;
let server;
before(async () => {
    folder = makeFolder();
    server = await startServer(folder.www);
});
after(() => {
    server?.child.kill();
    fs.rmSync(folder.top, { recursive: true, force: true });
});

// A whole request, head (with PORT for the server's port) and an empty line.
const whole = (head) => (port) => `${head.replaceAll('PORT', port)}\r\n\r\n`;

// Each: what is sent (a path, or the whole request given the port) and the
// answers allowed.
const HOSTILE = [
    ['NUL, encoded', '/%00', [400]],
    ['NUL, encoded, before an extension', '/index.html%00.png', [400]],
    ['NUL, raw', '/\x00', [400]],
    ['control byte, raw', '/a\x01b', [400]],
    ['tab, raw', '/a\tb', [400]],
    ['DEL, raw', '/\x7f', [400]],
    ['non-ASCII byte, raw', '/\xff', [400]],
    ['control byte, encoded', '/a%01b', [400]],
    ['newline, encoded', '/index.html%0a', [400]],
    ['DEL, encoded', '/%7f', [400]],
    ['C1 control, encoded as UTF-8', '/%c2%85', [400]],
    ['.. raw', '/../secret.txt', [400]],
    ['.. raw, deeper', '/sub/../../secret.txt', [400]],
    ['. segment', '/./index.html', [400]],
    ['.. encoded', '/%2e%2e/secret.txt', [400]],
    ['.. half encoded', '/.%2E/secret.txt', [400]],
    ['.. as overlong UTF-8', '/%c0%ae%c0%ae/secret.txt', [400]],
    ['.. encoded twice: a name, not a step up', '/%252e%252e/secret.txt', [404]],
    ['encoded slash', '/..%2fsecret.txt', [400]],
    ['encoded slash inside the folder', '/sub%2Findex.html', [400]],
    ['encoded backslash', '/..%5csecret.txt', [400]],
    ['raw backslash', '/..\\secret.txt', [400]],
    ['malformed escape', '/%zz', [400]],
    ['truncated escape', '/index.html%', [400]],
    ['empty segment', '//etc/passwd', [400]],
    ['absolute path', '/etc/passwd', [404]],
    ['absolute-form target', (port) => get(port, `http://127.0.0.1:${port}/../secret.txt`), [400]],
    ['asterisk target', '*', [400]],
    ['symbolic link to a file outside', '/out.txt', [404]],
    ['symbolic link by absolute path', '/absolute-out.txt', [404]],
    ['symbolic link to the folder above', '/outdir/secret.txt', [404]],
    ['a named pipe, which no one writes', '/pipe.html', [404]],
    ['long path', `/${'a/'.repeat(600)}`, [414]],
    ['long name', `/${'a'.repeat(300)}`, [404]],
    ['path longer than a request head may be', `/${'a'.repeat(70000)}`, [414, 431]],
    ['Host of another site', whole('GET / HTTP/1.1\r\nHost: evil.example'), [403, 421]],
    ['Host of another site, this port', whole('GET / HTTP/1.1\r\nHost: evil.example:PORT'), [403, 421]],
    ['Host on another port', (port) => whole(`GET / HTTP/1.1\r\nHost: 127.0.0.1:${port + 1}`)(), [403, 421]],
    ['Host with user info', whole('GET / HTTP/1.1\r\nHost: evil@127.0.0.1:PORT'), [400, 403, 421]],
    ['no Host', whole('GET / HTTP/1.0'), [400, 403, 421]],
    ['two Hosts', whole('GET / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nHost: evil.example'), [400, 403, 421]],
    ['POST', whole('POST / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Length: 0'), [405]],
    ['DELETE', whole('DELETE /index.html HTTP/1.1\r\nHost: 127.0.0.1:PORT'), [405]],
    ['CONNECT', whole('CONNECT evil.example:443 HTTP/1.1\r\nHost: 127.0.0.1:PORT'), [null, 400, 405]],
    ['not HTTP', whole('\x00\x01\x02'), [400]],
];

describe('hostile requests', () => {
    for (const [name, what, statuses] of HOSTILE) {
        test(name, async () => {
            const bytes = typeof what === 'function' ? what(server.port) : get(server.port, what);
            const answer = await exchange(server.port, bytes);
            assert.ok(statuses.includes(answer.status), `answered ${answer.status}, not one of ${statuses}`);
            assert.ok(!answer.body.includes(SECRET), 'the file outside the folder stays unread');
            await assertStillServes(server);
        });
    }
    test('nothing went to the fault guard', () => assert.equal(server.stderr, ''));
});

describe('what is served', () => {
    const FILES = [
        ['app.js', 'text/javascript; charset=utf-8'],
        ['worker.mjs', 'text/javascript; charset=utf-8'],
        ['zorvak.wasm', 'application/wasm'],
        ['data.json', 'application/json'],
        ['app.webmanifest', 'application/manifest+json'],
        ['icon.png', 'image/png'],
        ['icon.svg', 'image/svg+xml'],
        ['favicon.ico', 'image/x-icon'],
        ['style.css', 'text/css; charset=utf-8'],
        ['notes.txt', 'text/plain; charset=utf-8'],
        ['blob.bin', 'application/octet-stream'],
        ['sub/', 'text/html; charset=utf-8', 'sub/index.html'],
        ['inside.html', 'text/html; charset=utf-8', 'index.html'],
    ];
    for (const [name, type, file = name] of FILES) {
        test(name, async () => {
            if (!fs.existsSync(path.join(folder.www, file))) {
                fs.writeFileSync(path.join(folder.www, file), `contents of ${file}\n`);
            }
            const contents = fs.readFileSync(path.join(folder.www, file));
            for (const method of ['GET', 'HEAD']) {
                const request = get(server.port, `/${name}`).replace('GET', method);
                const answer = await exchange(server.port, request);
                assert.equal(answer.status, 200);
                assert.equal(answer.headers['content-type'], type);
                assert.equal(answer.headers['cache-control'], 'no-cache');
                assert.equal(answer.length, contents.length);
                assert.deepEqual(answer.body, method === 'GET' ? contents : Buffer.alloc(0));
            }
        });
    }
    test('the loopback names a browser may use', async () => {
        for (const host of ['127.0.0.1', 'localhost', 'LocalHost', '[::1]']) {
            const request = whole(`GET / HTTP/1.1\r\nHost: ${host}:PORT`)(server.port);
            const answer = await exchange(server.port, request);
            assert.equal(answer.status, 200, host);
        }
    });
    test('it listens on 127.0.0.1 only', async () => {
        assert.equal(server.address, '127.0.0.1');
        const others = Object.values(os.networkInterfaces()).flat().map((i) => i.address)
            .filter((address) => address !== '127.0.0.1' && !address.startsWith('fe80:'));
        for (const address of ['127.0.0.2', ...others]) {
            await assert.rejects(exchange(server.port, get(server.port, '/'), { host: address }), address);
        }
    });
    test('200 requests at once', async () => {
        const contents = crypto.randomBytes(256 * 1024);
        fs.writeFileSync(path.join(folder.www, 'many.bin'), contents);
        const answers = await Promise.all(Array.from({ length: 200 },
            () => exchange(server.port, get(server.port, '/many.bin'), { ms: 30000 })));
        for (const answer of answers) {
            assert.equal(answer.status, 200);
            assert.ok(answer.body.equals(contents));
        }
        await assertStillServes(server);
    });
});

describe('files that change while they are served', () => {
    // A file that a second process keeps writing and deleting, a millisecond
    // each way, while it is asked for 50 requests at a time: each answer is
    // the whole file or 404.
    test('a file that comes and goes', async () => {
        const file = path.join(folder.www, 'churn.bin');
        const contents = 'churn '.repeat(1000);
        const churn = spawn(process.execPath, ['-e', `
            const fs = require('fs');
            const [file, contents] = process.argv.slice(1);
            const sleep = (ms) => Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, ms);
            for (;;) {
                fs.writeFileSync(file + '.new', contents);
                fs.renameSync(file + '.new', file);
                sleep(1);
                fs.unlinkSync(file);
                sleep(1);
            }`, file, contents], { stdio: 'ignore' });
        try {
            const seen = new Set();
            for (let round = 0; round < 20; ++round) {
                const answers = await Promise.all(Array.from({ length: 50 },
                    () => exchange(server.port, get(server.port, '/churn.bin'), { ms: 30000 })));
                for (const answer of answers) {
                    seen.add(answer.status);
                    const whole = answer.status === 200 && answer.body.toString() === contents;
                    assert.ok(whole || answer.status === 404, `answered ${answer.status}`);
                }
            }
            assert.ok(seen.has(200) && seen.has(404), 'the file was found and missed');
        } finally {
            churn.kill();
        }
        await assertStillServes(server);
    });

    // A large file asked for by a reader that stops after its first bytes;
    // the file is changed while the server waits, then the reader goes on.
    const CHANGES = [
        ['deleted', (file) => fs.unlinkSync(file), 'whole'],
        ['replaced by another file', (file) => {
            fs.writeFileSync(`${file}.new`, 'new contents\n');
            fs.renameSync(`${file}.new`, file);
        }, 'whole'],
        ['rewritten shorter in place', (file) => fs.writeFileSync(file, 'new contents\n'), 'cut'],
    ];
    for (const [name, change, expected] of CHANGES) {
        test(name, async () => {
            const file = path.join(folder.www, 'large.bin');
            const contents = crypto.randomBytes(32 * 1024 * 1024);
            fs.writeFileSync(file, contents);
            const answer = await slowRead(server.port, '/large.bin', () => change(file));
            assert.equal(answer.status, 200);
            assert.equal(answer.length, contents.length);
            if (expected === 'whole') {
                assert.ok(answer.body.equals(contents), 'the file as it was when the request came');
            } else {
                assert.ok(answer.closed && answer.body.length < contents.length, 'the connection is cut');
                assert.ok(contents.subarray(0, answer.body.length).equals(answer.body));
            }
            await assertStillServes(server);
        });
    }
});

// GETs `target` on a connection kept alive as a browser keeps it, pauses
// after the first bytes of the answer, calls change(), then reads on. The
// answer must end, whole or cut by the server: a connection left silent for
// 2.5 s fails.
function slowRead(port, target, change) {
    return new Promise((resolve, reject) => {
        const socket = net.connect(port, '127.0.0.1', () =>
            socket.write(`GET ${target} HTTP/1.1\r\nHost: 127.0.0.1:${port}\r\n\r\n`));
        const reader = new AnswerReader();
        let timer = null;
        const watch = () => {
            clearTimeout(timer);
            timer = setTimeout(() => {
                socket.destroy();
                reject(new Error('the answer stopped short and the connection stayed open'));
            }, 2500);
        };
        const finish = (closed) => {
            clearTimeout(timer);
            socket.destroy();
            resolve(reader.answer(closed));
        };
        socket.on('data', async (chunk) => {
            reader.add(chunk);
            if (timer === null) {
                socket.pause();
                await sleep(300);
                change();
                watch();
                socket.resume();
            } else if (reader.complete()) {
                finish(false);
            } else {
                watch();
            }
        });
        socket.on('close', () => finish(true));
        socket.on('error', () => {});
    });
}

describe('bad command lines', () => {
    let busy;
    before(() => new Promise((resolve) => {
        busy = net.createServer().listen(0, '127.0.0.1', resolve);
    }));
    after(() => busy.close());

    const USAGE = /^usage: serve\.mjs DIR \[PORT\]/m;
    const IN_USE = /^serve\.mjs: cannot listen on .*: the port is in use$/m;
    const CASES = [
        ['a port that is not a number', ['abc'], USAGE],
        ['a negative port', ['-1'], USAGE],
        ['a port out of range', ['65536'], USAGE],
        ['a fractional port', ['1.5'], USAGE],
        ['a port in hexadecimal', ['0x1f90'], USAGE],
        ['an empty port', [''], USAGE],
        ['an argument too many', ['0', 'extra'], USAGE],
        ['a port in use', () => [String(busy.address().port)], IN_USE],
    ];
    for (const [name, args, message] of CASES) {
        test(name, async () => {
            const run = await runServe([folder.www, ...(typeof args === 'function' ? args() : args)]);
            assert.equal(run.timedOut, false, 'it ends');
            assert.equal(run.code, 2);
            assert.match(run.stderr, message);
            assert.doesNotMatch(run.stderr, /^\s+at |node:internal|Error\b/m, 'no stack trace');
        });
    }
    test('a folder without index.html', async () => {
        const run = await runServe([path.join(folder.www, 'sub', 'none')]);
        assert.equal(run.code, 2);
        assert.match(run.stderr, USAGE);
    });
});
