#!/usr/bin/env node
// The page's figures, on the real clock (`scripts/web bench` runs it; the
// figures and how they were taken are in docs/performance.md):
//
//   download      the page's files as they are and compressed (gzip -9 and
//                 brotli at its best), which is what a server that compresses
//                 sends a phone on its first visit
//   first paint   ms from the start of the navigation to the game's first
//                 picture in its canvas: a first visit, reloads (a warm
//                 cache: the service worker's), visits in a new tab, on a
//                 desktop window and on a 390 x 844 phone at ratio 3 (and
//                 that phone with its processor 4 times slower)
//   CPU           share of one core used by the renderer and GPU processes
//                 together over SECONDS: the attract loop, a game (started
//                 with Alt+N, no input after), the page hidden; and, for
//                 scale, two pages that do almost nothing: one that wakes 20
//                 times a second, one that also draws 8 x 8 pixels each time
//   memory        WebAssembly memory and JavaScript heap after two runs of
//                 PLAY seconds of play (random steering and fire, a new game
//                 whenever one ends)
//
//   node page_bench.mjs --page DIR [--seconds 30] [--play 180] [--reloads 10]
//                       [--chromium PATH]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { parseArgs } from 'node:util';
import zlib from 'node:zlib';

import { serve } from '../../tools/web/serve.mjs';
import { Browser } from './chromium.mjs';
import { measureCpu } from './cpu_probe.mjs';
import {
    altLetter, loadGame, openPage, pageMemory, press, setHidden, sleep,
} from './page_driver.mjs';

const { values: options } = parseArgs({
    options: {
        page: { type: 'string' },
        seconds: { type: 'string', default: '30' },
        play: { type: 'string', default: '180' },
        reloads: { type: 'string', default: '10' },
        chromium: { type: 'string', default: '/usr/bin/chromium' },
    },
});
const seconds = Number(options.seconds);
const play = Number(options.play);
const reloads = Number(options.reloads);
if (!options.page || !(seconds > 0) || !(play >= 0) || !(reloads >= 1) ||
    !fs.existsSync(path.join(options.page, 'index.html'))) {
    console.error('usage: page_bench.mjs --page DIR [--seconds S>0] [--play S>=0] [--reloads N>=1] ' +
        '[--chromium PATH]   (DIR holds the built page)');
    process.exit(2);
}

const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const ms = (list) => `median ${median(list).toFixed(0)} ms (${Math.min(...list).toFixed(0)} to ` +
    `${Math.max(...list).toFixed(0)} over ${list.length})`;
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
const mb = (bytes) => `${(bytes / 1048576).toFixed(2)} MB`;
const percent = (r) => `${r.percent.toFixed(2)}% of a core (renderer ${r.renderer.toFixed(2)}, ` +
    `GPU ${r.gpu.toFixed(2)}) over ${r.seconds.toFixed(1)} s`;

function downloads(dir) {
    const files = [];
    const walk = (sub) => {
        for (const entry of fs.readdirSync(path.join(dir, sub), { withFileTypes: true })) {
            const name = path.join(sub, entry.name);
            if (entry.isDirectory()) walk(name);
            else files.push(name);
        }
    };
    walk('');
    let total = [0, 0, 0];
    for (const name of files.sort()) {
        const data = fs.readFileSync(path.join(dir, name));
        const sizes = [data.length, zlib.gzipSync(data, { level: 9 }).length,
            zlib.brotliCompressSync(data, { params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11 } })
                .length];
        total = total.map((t, i) => t + sizes[i]);
        console.log(`  ${name}: ${sizes.map(kb).join(', ')}`);
    }
    console.log(`download, the page's ${files.length} files: ${total.map(kb).join(', ')} ` +
        '(as they are, gzip -9, brotli 11)');
}

// A first visit in a fresh browser, then reloads and visits in new tabs.
async function firstPaints(what, launch, emulate = async () => {}) {
    const browser = await Browser.launch(options.chromium, launch);
    try {
        let page = await openPage(browser);
        await emulate(page);
        const first = await loadGame(page, url);
        if (first === null) throw new Error(`${what}: the page never painted`);
        await page.waitFor('navigator.serviceWorker.getRegistration().then((r) => ' +
            `r && r.active && r.active.state === 'activated')`, 10000, 100);
        const warm = [];
        for (let i = 0; i < reloads; ++i) {
            await page.evaluate('window.reloaded = true');
            await page.send('Page.reload');
            warm.push(await page.waitFor('!window.reloaded && window.Module && Module.firstPaintMs',
                10000));
            await sleep(300);
        }
        const tabs = [];
        for (let i = 0; i < Math.min(reloads, 5); ++i) {
            const fresh = await openPage(browser, [], { fresh: true });
            await page.close();
            page = fresh;
            await emulate(page);
            tabs.push(await loadGame(page, url));
            await sleep(300);
        }
        console.log(`first paint, ${what}: first visit ${first.toFixed(0)} ms; reloads ${ms(warm)}; ` +
            `new tabs ${ms(tabs)}`);
    } finally {
        await browser.close();
    }
}

// A game is on while the status line shows lives left (it shows 00 once the
// last one is lost, until the next game).
const playing = (page) => page.evaluate(
    `document.title.startsWith('Lives: ') && !document.title.startsWith('Lives: 00')`);

// Plays for `duration` seconds as a restless player: a key every 250 ms.
async function playFor(page, duration) {
    const keys = [['ArrowLeft', 37], ['ArrowRight', 39], [' ', 32]];
    const end = Date.now() + duration * 1000;
    let games = 0;
    while (Date.now() < end) {
        if (!(await playing(page))) {
            await altLetter(page, 'n');
            ++games;
        }
        const [key, vk] = keys[Math.floor(Math.random() * keys.length)];
        await press(page, key, key === ' ' ? 'Space' : key, vk, 0, key === ' ' ? ' ' : '');
        await sleep(250);
    }
    return games;
}

// Two pages for scale: the least a page that wakes 20 times a second costs,
// and one that also draws a little each time.
function floorPages() {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvak-floor-'));
    fs.writeFileSync(path.join(dir, 'index.html'), `<!DOCTYPE html><canvas width=511 height=349
        style="width:1022px;image-rendering:pixelated"></canvas><script>
        var draw = location.search === '?draw';
        var context = document.querySelector('canvas').getContext('2d', { alpha: false });
        var pixels = new ImageData(8, 8);
        (function tick() {
            if (draw) {
                pixels.data.fill(Math.random() * 255);
                context.putImageData(pixels, 100, 100);
            }
            setTimeout(tick, 50);
        })();
        </script>`);
    return dir;
}

async function cpuAndMemory() {
    const browser = await Browser.launch(options.chromium, { width: 1280, height: 1000 });
    const floor = floorPages();
    const floorServer = await serve(floor);
    try {
        const problems = [];
        const page = await openPage(browser, problems);
        for (const [what, query] of [['waking 20 times a second', ''],
            ['drawing 8 x 8 pixels 20 times a second', '?draw']]) {
            await page.send('Page.navigate',
                { url: `http://127.0.0.1:${floorServer.address().port}/${query}` });
            await sleep(3000);
            console.log(`CPU, a page ${what}: ${percent(await measureCpu(browser, seconds))}`);
        }
        await loadGame(page, url);
        await sleep(5000);
        console.log(`CPU, attract loop: ${percent(await measureCpu(browser, seconds))}`);
        await page.evaluate(`document.querySelector('.zw-main .zw-screen').focus()`);
        await altLetter(page, 'n');
        await sleep(500);
        const game = await measureCpu(browser, seconds);
        console.log(`CPU, a game: ${percent(game)} (${await playing(page) ? 'still playing at ' +
            'the end' : 'the game had ended by the end'})`);
        await setHidden(page, true);
        await sleep(500);
        console.log(`CPU, page hidden: ${percent(await measureCpu(browser, seconds))}`);
        await setHidden(page, false);
        // A hidden page pauses a game that runs: P goes on.
        if (await page.evaluate(`document.querySelector('.zw-main .zw-notice').textContent
            .startsWith('Paused')`)) {
            await press(page, 'p', 'KeyP', 80, 0, 'p');
        }
        const fresh = await pageMemory(page);
        console.log(`memory at the start: WebAssembly ${mb(fresh.wasm)}, JS heap ${mb(fresh.jsHeap)}`);
        for (let run = 1; play > 0 && run <= 2; ++run) {
            const games = await playFor(page, play);
            const used = await pageMemory(page);
            console.log(`memory after play run ${run} (${play} s, ${games} new games): ` +
                `WebAssembly ${mb(used.wasm)}, JS heap ${mb(used.jsHeap)}`);
        }
        if (problems.length) console.log(`page problems:\n  ${problems.join('\n  ')}`);
    } finally {
        await browser.close();
        floorServer.close();
        fs.rmSync(floor, { recursive: true, force: true });
    }
}

const server = await serve(options.page);
const url = `http://127.0.0.1:${server.address().port}/`;
try {
    downloads(options.page);
    await firstPaints('desktop window 1280 x 1000', { width: 1280, height: 1000 });
    const phone = (rate) => async (page) => {
        await page.send('Emulation.setDeviceMetricsOverride',
            { width: 390, height: 844, deviceScaleFactor: 0, mobile: true });
        await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
        await page.send('Emulation.setCPUThrottlingRate', { rate });
    };
    await firstPaints('phone 390 x 844 at ratio 3', { width: 500, height: 1000, ratio: 3 }, phone(1));
    await firstPaints('the same phone, processor 4 times slower',
        { width: 500, height: 1000, ratio: 3 }, phone(4));
    await cpuAndMemory();
} finally {
    server.close();
}
