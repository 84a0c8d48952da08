// The page installable and offline: the web app manifest as Chromium reads
// it; after one visit the page loads and a game starts with the network cut;
// a new build replaces the old files when no page of the old one is open;
// a build half put on the server is never served, nor mixed with the last.
//
// The session works on a copy of the page, which it changes as a new build
// would (index.html marked with the build's number, sw.js written anew).
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { serve } from '../../tools/web/serve.mjs';
import { check } from './check.mjs';
import { altLetter, loadGame, openPage, sleep } from './page_driver.mjs';

const STATUS_LINE = 'Lives: 05 - Level 01 - Score: 00000';
const BUILD_LINE = /^const BUILD = (.*);$/m;

const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');

// The files the worker of the page in `dir` keeps: { version, files }.
const buildOf = (dir) => JSON.parse(fs.readFileSync(path.join(dir, 'sw.js'), 'utf8')
    .match(BUILD_LINE)[1]);

// Writes the worker of a build whose index.html is `html` (the page's other
// files as they are), as the build writes it.
function writeWorker(dir, html) {
    const { files } = buildOf(dir);
    const list = Object.keys(files).map((name) => {
        const data = name === 'index.html' ? html : fs.readFileSync(path.join(dir, name));
        return [name, sha256(data)];
    });
    const version = sha256(list.map(([name, hash]) => `${name} ${hash}\n`).join('')).slice(0, 16);
    const build = { version, files: Object.fromEntries(list) };
    const worker = fs.readFileSync(path.join(dir, 'sw.js'), 'utf8');
    fs.writeFileSync(path.join(dir, 'sw.js'), worker.replace(BUILD_LINE,
        () => `const BUILD = ${JSON.stringify(build)};`));
    return version;
}

// index.html of build `number`: the page's, marked.
const markedPage = (dir, number) => fs.readFileSync(path.join(dir, 'index.html'), 'utf8')
    .replace(/(<meta name="zorvak-build"[^>]*>)?<\/head>/,
        `<meta name="zorvak-build" content="${number}"></head>`);

const shownBuild = `(document.querySelector('meta[name="zorvak-build"]') || {}).content || '1'`;
const keptCaches = `caches.keys().then((names) => Promise.all(names.map((name) =>
    caches.open(name).then((c) => c.keys()).then((kept) =>
        [name, kept.map((r) => r.url.slice(location.origin.length + 1)).sort()]))))`;
const workerState = `navigator.serviceWorker.getRegistration().then((r) => r ? {
    active: r.active && r.active.state, waiting: !!r.waiting, installing: !!r.installing } : null)`;

export async function offlineSession(browser, pageDir) {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvak-page-'));
    fs.cpSync(pageDir, dir, { recursive: true });
    const s = { browser, dir, problems: [] };
    try {
        s.server = await serve(dir);
        s.url = `http://127.0.0.1:${s.server.address().port}/`;
        s.page = await openPage(browser, s.problems);
        for (const step of [firstVisit, manifest, offline, newBuild, halfDeployed]) {
            if ((await step(s)) === false) break;
        }
        check(s.problems.length === 0, 'no script errors, warnings or dialogs' +
            (s.problems.length ? `:\n  ${s.problems.join('\n  ')}` : ''));
    } finally {
        s.server?.close();
        fs.rmSync(dir, { recursive: true, force: true });
    }
}

// The first visit: the worker keeps exactly this build's files, each as
// the server has it.
async function firstVisit({ page, url, dir }) {
    if (!check(await loadGame(page, url) !== null, 'the page paints the game')) return false;
    const state = await page.waitFor(`${workerState}.then((w) => w && w.active === 'activated')`,
        10000, 100);
    if (!check(state !== null, 'after the first visit the page\'s service worker is active')) {
        return false;
    }
    const build = buildOf(dir);
    const stale = Object.entries(build.files).filter(([name, hash]) =>
        sha256(fs.readFileSync(path.join(dir, name))) !== hash).map(([name]) => name);
    check(stale.length === 0 && Object.keys(build.files).length === 9,
        `the build lists the page's 9 files with their SHA-256 (wrong: ${stale.join(' ') || 'none'})`);
    const kept = JSON.stringify(await page.evaluate(keptCaches));
    const expected = JSON.stringify([[`zorvak-${build.version}`, Object.keys(build.files).sort()]]);
    check(kept === expected, `it keeps them in the build's cache: ${kept}`);
}

async function manifest({ page }) {
    const { url, errors, data } = await page.send('Page.getAppManifest');
    const parsed = JSON.parse(data || '{}');
    check(url.endsWith('/manifest.webmanifest') && errors.length === 0 &&
        parsed.name === 'Zorvak' && parsed.display === 'standalone',
        `Chromium reads the web app manifest without errors (${JSON.stringify(errors)})`);
    const { installabilityErrors } = await page.send('Page.getInstallabilityErrors');
    check(installabilityErrors.length === 0,
        `Chromium can install the page (${JSON.stringify(installabilityErrors)})`);
}

// The network cut twice over: the browser's (the protocol's offline mode)
// and the server's (closed).
async function cutNetwork(s, cut) {
    await s.page.send('Network.enable');
    await s.page.send('Network.emulateNetworkConditions',
        { offline: cut, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    const port = new URL(s.url).port;
    if (cut) {
        await new Promise((resolve) => {
            s.server.close(resolve);
            s.server.closeAllConnections();
        });
    } else {
        s.server = await serve(s.dir, Number(port));
    }
}

async function offline(s) {
    const { page, url } = s;
    await cutNetwork(s, true);
    const paint = await loadGame(page, url);
    check(paint !== null, `with the network cut the page loads from the worker ` +
        `(first paint ${paint?.toFixed(0)} ms)`);
    await page.evaluate(`document.querySelector('.zw-main .zw-screen').focus()`);
    await altLetter(page, 'n');
    check(await page.waitFor(`document.title === '${STATUS_LINE}'`, 3000) !== null,
        'and a game starts');
    await cutNetwork(s, false);
}

// Closes the page's tab and visits the page again in a new one, once a
// worker that waited for the old tab has taken over (as it does when the
// visitor comes back later).
async function revisit(s) {
    const fresh = await openPage(s.browser, s.problems, { fresh: true });
    const versions = new Map();
    s.browser.on((message) => {
        if (message.method !== 'ServiceWorker.workerVersionUpdated') return;
        for (const { versionId, status } of message.params.versions) versions.set(versionId, status);
    });
    await fresh.send('ServiceWorker.enable');
    await s.page.close();
    s.page = fresh;
    const settled = () => versions.size > 0 && [...versions.values()].every((status) =>
        status === 'activated' || status === 'redundant');
    for (const end = Date.now() + 10000; !settled() && Date.now() < end;) await sleep(50);
    return loadGame(s.page, s.url);
}

// A new build on the server: the open page goes on with its own; the next
// visit after it has closed gets the new one whole, and the old files go.
async function newBuild(s) {
    const { page, dir } = s;
    fs.writeFileSync(path.join(dir, 'index.html'), markedPage(dir, 2));
    const version = writeWorker(dir, markedPage(dir, 2));
    await page.evaluate('navigator.serviceWorker.getRegistration().then((r) => r.update())');
    const waiting = await page.waitFor(`${workerState}.then((w) => w.waiting)`, 10000, 100);
    check(waiting !== null && await page.evaluate(shownBuild) === '1',
        'a new build waits while a page of the last one is open');
    await revisit(s);
    const kept = await s.page.evaluate(keptCaches);
    check(await s.page.evaluate(shownBuild) === '2' && kept.length === 1 &&
        kept[0][0] === `zorvak-${version}`,
        `the next visit gets the new build, and only its files are kept (${kept.map((k) => k[0])})`);
}

// A build half put on the server (its worker, not yet its index.html): the
// worker finds a file that is not its build's and does not install; the
// page stays the last build, whole.
async function halfDeployed(s) {
    const { page, dir } = s;
    const version = writeWorker(dir, markedPage(dir, 3));
    await page.evaluate('navigator.serviceWorker.getRegistration().then((r) => r.update())' +
        '.catch(() => null)');
    await page.waitFor(`${workerState}.then((w) => !w.installing)`, 10000, 100);
    const state = await page.evaluate(workerState);
    await revisit(s);
    const kept = await s.page.evaluate(keptCaches);
    const shown = await s.page.evaluate(shownBuild);
    check(!state.waiting && shown === '2' && kept.length === 1 && kept[0][0] !== `zorvak-${version}`,
        `a build half on the server is not installed; the page is the last build, whole ` +
        `(${JSON.stringify(state)}, build ${shown})`);
}
