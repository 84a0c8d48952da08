// Headless Chromium driven over the DevTools protocol on a pipe
// (--remote-debugging-pipe): no network, no packages beyond Node itself.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

// The flags that keep Chromium from reaching out: this machine's network
// refuses every connection.
const QUIET_FLAGS = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--no-default-browser-check',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--disable-extensions',
    '--disable-default-apps',
    '--mute-audio',
    '--hide-scrollbars',
];

export class Browser {
    // Starts Chromium with a fresh profile; width x height is the window, in
    // CSS pixels of a screen of `ratio` device pixels per CSS pixel.
    static async launch(executable, { width = 1280, height = 900, ratio = 1 } = {}) {
        const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvak-chromium-'));
        const child = spawn(executable, [
            ...QUIET_FLAGS,
            `--user-data-dir=${profile}`,
            `--window-size=${width},${height}`,
            `--force-device-scale-factor=${ratio}`,
            '--remote-debugging-pipe',
            'about:blank',
        ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
        const browser = new Browser(child, profile);
        await browser.send('Target.setDiscoverTargets', { discover: true });
        return browser;
    }

    constructor(child, profile) {
        this.child = child;
        this.profile = profile;
        this.nextId = 1;
        this.pending = new Map();
        this.listeners = [];
        this.stderr = '';
        this.exited = false;
        child.stderr.on('data', (chunk) => {
            this.stderr = (this.stderr + chunk).slice(-20000);
        });
        child.on('exit', () => {
            this.exited = true;
            for (const { reject } of this.pending.values()) {
                reject(new Error(`Chromium exited:\n${this.stderr}`));
            }
            this.pending.clear();
        });
        let buffered = '';
        child.stdio[4].on('data', (chunk) => {
            buffered += chunk.toString('utf8');
            let end;
            while ((end = buffered.indexOf('\0')) >= 0) {
                this.receive(JSON.parse(buffered.slice(0, end)));
                buffered = buffered.slice(end + 1);
            }
        });
    }

    receive(message) {
        if (message.id !== undefined) {
            const call = this.pending.get(message.id);
            if (!call) return;
            this.pending.delete(message.id);
            if (message.error) {
                call.reject(new Error(`${call.method}: ${message.error.message}`));
            } else {
                call.resolve(message.result);
            }
            return;
        }
        for (const listener of this.listeners) listener(message);
    }

    // One protocol call; sessionId addresses a page attached with attach().
    send(method, params = {}, sessionId = undefined) {
        if (this.exited) return Promise.reject(new Error('Chromium is not running'));
        const id = this.nextId++;
        const message = { id, method, params };
        if (sessionId) message.sessionId = sessionId;
        return new Promise((resolve, reject) => {
            this.pending.set(id, { resolve, reject, method });
            this.child.stdio[3].write(JSON.stringify(message) + '\0');
        });
    }

    on(listener) {
        this.listeners.push(listener);
    }

    // The first page's session; with `fresh`, a new tab's.
    async attachToPage({ fresh = false } = {}) {
        let targetId;
        if (fresh) {
            ({ targetId } = await this.send('Target.createTarget', { url: 'about:blank' }));
        } else {
            const { targetInfos } = await this.send('Target.getTargets');
            ({ targetId } = targetInfos.find((t) => t.type === 'page'));
        }
        const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
        return new Page(this, sessionId, targetId);
    }

    async close() {
        if (!this.exited) {
            const exited = new Promise((resolve) => this.child.once('exit', resolve));
            this.send('Browser.close').catch(() => {});
            const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
            await exited;
            clearTimeout(timer);
        }
        fs.rmSync(this.profile, { recursive: true, force: true });
    }
}

export class Page {
    constructor(browser, sessionId, targetId) {
        this.browser = browser;
        this.sessionId = sessionId;
        this.targetId = targetId;
    }

    // Closes the tab, as the visitor does; resolves once it has gone.
    async close() {
        const gone = new Promise((resolve) => this.browser.on((message) => {
            if (message.method === 'Target.targetDestroyed' &&
                message.params.targetId === this.targetId) {
                resolve();
            }
        }));
        await this.browser.send('Target.closeTarget', { targetId: this.targetId });
        await gone;
    }

    send(method, params = {}) {
        return this.browser.send(method, params, this.sessionId);
    }

    // The value of a JavaScript expression (awaited if it is a promise).
    async evaluate(expression) {
        const { result, exceptionDetails } = await this.send('Runtime.evaluate', {
            expression,
            returnByValue: true,
            awaitPromise: true,
        });
        if (exceptionDetails) {
            throw new Error(`${expression}: ${exceptionDetails.exception?.description ||
                exceptionDetails.text}`);
        }
        return result.value;
    }

    // Polls expression until it is truthy; its value, or null after timeoutMs.
    async waitFor(expression, timeoutMs, intervalMs = 50) {
        const end = Date.now() + timeoutMs;
        for (;;) {
            const value = await this.evaluate(expression);
            if (value) return value;
            if (Date.now() > end) return null;
            await new Promise((resolve) => setTimeout(resolve, intervalMs));
        }
    }
}
