#!/usr/bin/env node
// The web page played in headless Chromium, as a visitor would: it loads and
// paints the same pixels as the headless backend, shows them sharp at a
// whole-number scale, sleeps between ticks, opens and closes About from the
// menu bar, starts a game on Alt+N, steers on Left, freezes while the page is
// hidden, and ends on Quit.
//
//   node browser_test.mjs --page DIR --reference DIR --out DIR [--chromium PATH]
//
// --reference holds main.ppm, about.ppm and ground.ppm (web_reference).
// Exit code 0 when every check passed.
import fs from 'node:fs';
import path from 'node:path';
import { parseArgs } from 'node:util';

import { serve } from '../../tools/web/serve.mjs';
import { Browser } from './chromium.mjs';
import { decodePng, pixel, readPpm } from './images.mjs';

const { values: options } = parseArgs({
    options: {
        page: { type: 'string' },
        reference: { type: 'string' },
        out: { type: 'string' },
        chromium: { type: 'string', default: '/usr/bin/chromium' },
    },
});
for (const name of ['page', 'reference', 'out']) {
    if (!options[name]) {
        console.error(`usage: browser_test.mjs --page DIR --reference DIR --out DIR`);
        process.exit(2);
    }
}
fs.mkdirSync(options.out, { recursive: true });

const STATUS_LINE = 'Lives: 05 - Level 01 - Score: 00000';
const MAIN = '.zw-main .zw-screen';
const OVER = '.zw-over .zw-screen';

let passed = 0;
let failed = 0;
function check(ok, what) {
    console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
    if (ok) ++passed;
    else ++failed;
    return ok;
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// ---- The page's side -------------------------------------------------------

async function canvasImage(page, selector) {
    const { width, height, data } = await page.evaluate(`(() => {
        const canvas = document.querySelector(${JSON.stringify(selector)});
        if (!canvas) return { width: 0, height: 0, data: '' };
        const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let text = '';
        for (let i = 0; i < rgba.length; i += 4) {
            text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
        }
        return { width: canvas.width, height: canvas.height, data: btoa(text) };
    })()`);
    return { width, height, rgb: Buffer.from(data, 'base64') };
}

const rectOf = (page, selector) =>
    page.evaluate(`(() => {
        const r = document.querySelector(${JSON.stringify(selector)}).getBoundingClientRect();
        return { x: r.x, y: r.y, width: r.width, height: r.height };
    })()`);

// A key press as the keyboard makes it; text: the character it types.
async function press(page, key, code, vk, modifiers = 0, text = '') {
    const event = { key, code, windowsVirtualKeyCode: vk, modifiers };
    await page.send('Input.dispatchKeyEvent', text ? { type: 'keyDown', text, ...event }
        : { type: 'rawKeyDown', ...event });
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', ...event });
}

async function altLetter(page, letter) {
    const alt = { key: 'Alt', code: 'AltLeft', windowsVirtualKeyCode: 18, modifiers: 1 };
    await page.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...alt });
    await press(page, letter, `Key${letter.toUpperCase()}`, letter.toUpperCase().charCodeAt(0), 1);
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', ...alt, modifiers: 0 });
}

// A left click on image pixel (x, y) of the canvas at rect.
async function clickImage(page, rect, imageWidth, x, y) {
    const scale = rect.width / imageWidth;
    const at = { x: rect.x + (x + 0.5) * scale, y: rect.y + (y + 0.5) * scale };
    const button = { button: 'left', clickCount: 1, ...at };
    await page.send('Input.dispatchMouseEvent', { type: 'mouseMoved', ...at });
    await page.send('Input.dispatchMouseEvent', { type: 'mousePressed', ...button });
    await page.send('Input.dispatchMouseEvent', { type: 'mouseReleased', ...button });
}

async function screenshot(page, file, clip) {
    const params = { format: 'png' };
    if (clip) params.clip = { ...clip, scale: 1 };
    const { data } = await page.send('Page.captureScreenshot', params);
    const png = Buffer.from(data, 'base64');
    if (file) fs.writeFileSync(path.join(options.out, file), png);
    return png;
}

// Pretends the visitor switched tabs (or came back).
const setHidden = (page, hidden) =>
    page.evaluate(`(() => {
        Object.defineProperty(document, 'hidden', { configurable: true, get: () => ${hidden} });
        Object.defineProperty(document, 'visibilityState',
            { configurable: true, get: () => '${hidden ? 'hidden' : 'visible'}' });
        document.dispatchEvent(new Event('visibilitychange'));
    })()`);

// ---- Comparisons -------------------------------------------------------------

// Pixels where a and b differ, ignoring those for which skip(x, y) is true.
function differences(a, b, skip = () => false) {
    let count = 0;
    let first = '';
    for (let y = 0; y < a.height; ++y) {
        for (let x = 0; x < a.width; ++x) {
            if (skip(x, y) || pixel(a, x, y) === pixel(b, x, y)) continue;
            if (count++ === 0) {
                first = ` (first at ${x},${y}: ${pixel(a, x, y).toString(16)} ` +
                    `instead of ${pixel(b, x, y).toString(16)})`;
            }
        }
    }
    return { count, text: `${count} pixels differ${first}` };
}

// The ground row is drawn at random: each 32-pixel cell of it must show one
// of the four tiles wherever it does not show what the reference shows there
// (the walls and the picture drawn over the ground).
function groundCellsNotTiles(image, reference, tiles) {
    const top = image.height - 32;
    const bad = [];
    for (let left = 0; left < image.width; left += 32) {
        const right = Math.min(left + 32, image.width);
        const fits = [0, 1, 2, 3].some((tile) => {
            for (let y = top; y < image.height; ++y) {
                for (let x = left; x < right; ++x) {
                    const shown = pixel(image, x, y);
                    if (shown !== pixel(reference, x, y) &&
                        shown !== pixel(tiles, tile * 32 + x - left, y - top)) {
                        return false;
                    }
                }
            }
            return true;
        });
        if (!fits) bad.push(left);
    }
    return bad;
}

// The non-black pixels' mean x in rows [top, bottom) between the walls.
function meanX(image, top, bottom) {
    let sum = 0;
    let count = 0;
    for (let y = top; y < bottom; ++y) {
        for (let x = 32; x < image.width - 32; ++x) {
            if (pixel(image, x, y) !== 0) {
                sum += x;
                ++count;
            }
        }
    }
    return count ? sum / count : NaN;
}

// ---- The session ---------------------------------------------------------------

async function run(page, problems) {
    const reference = {
        main: readPpm(path.join(options.reference, 'main.ppm')),
        about: readPpm(path.join(options.reference, 'about.ppm')),
        ground: readPpm(path.join(options.reference, 'ground.ppm')),
    };

    // First paint.
    const firstPaint = await page.waitFor('window.Module && Module.firstPaintMs', 30000);
    if (!check(firstPaint !== null, 'the page paints the game')) return;
    console.log(`first paint: ${firstPaint.toFixed(0)} ms after the navigation started`);
    check(await page.evaluate('document.title') === 'ZORVAK', 'the page title is ZORVAK');
    check(await page.evaluate(`document.querySelector('.zw-main .zw-title').textContent`) ===
        'ZORVAK', 'the title bar above the canvas says ZORVAK');
    check(await page.evaluate(`document.activeElement === document.querySelector('${MAIN}')`),
        'the game has the keyboard focus');
    const buttons = (box) => page.evaluate(`[...document.querySelectorAll('${box} .zw-titlebar ` +
        `button')].map((b) => b.title).join(' ')`);
    check(await buttons('.zw-main') === 'Minimize Close',
        'the title bar has the buttons of the window\'s style: Minimize and Close');

    // No sound before the visitor's first gesture (browsers allow it only then).
    await page.evaluate('_zweb_page_beep()');
    check(await page.evaluate('Module.beeps || 0') === 0, 'the beep is silent before a gesture');

    // The introduction, pixel for pixel as the headless backend draws it.
    await sleep(500);
    const intro = await canvasImage(page, MAIN);
    const ref = reference.main;
    if (check(intro.width === ref.width && intro.height === ref.height,
        `the canvas is ${ref.width} x ${ref.height} (${intro.width} x ${intro.height})`)) {
        const diff = differences(intro, ref, (x, y) => y >= ref.height - 32);
        check(diff.count === 0, `menu bar, walls and introduction as on the headless backend: ` +
            diff.text);
        const bad = groundCellsNotTiles(intro, ref, reference.ground);
        check(bad.length === 0, `every ground cell shows a ground tile` +
            (bad.length ? ` (not at x ${bad.join(', ')})` : ''));
    }

    // Shown at a whole-number scale, every image pixel a sharp square.
    const rect = await rectOf(page, MAIN);
    const scale = rect.width / intro.width;
    check(Number.isInteger(scale) && scale >= 2 && rect.height === intro.height * scale,
        `the canvas is shown at a whole-number scale (${rect.width} x ${rect.height} CSS px)`);
    const shot = decodePng(await screenshot(page, 'intro-canvas.png', rect));
    const upscaled = { width: shot.width, height: shot.height, rgb: Buffer.alloc(shot.rgb.length) };
    for (let y = 0; y < shot.height; ++y) {
        for (let x = 0; x < shot.width; ++x) {
            intro.rgb.copy(upscaled.rgb, (y * shot.width + x) * 3,
                (Math.floor(y / scale) * intro.width + Math.floor(x / scale)) * 3,
                (Math.floor(y / scale) * intro.width + Math.floor(x / scale)) * 3 + 3);
        }
    }
    check(shot.width === intro.width * scale && differences(shot, upscaled).count === 0,
        `the screen shows each canvas pixel as a sharp ${scale} x ${scale} square: ` +
        differences(shot, upscaled).text);
    await screenshot(page, 'web-intro.png');

    // Idle between ticks: five seconds of the attract loop, in CPU time of
    // the page's renderer process and of its main thread.
    const metrics = async () => {
        const { metrics: list } = await page.send('Performance.getMetrics');
        const value = (name) => list.find((m) => m.name === name).value;
        const sleeps = await page.evaluate('Module.sleeps');
        return {
            process: value('ProcessTime'), thread: value('ThreadTime'), sleeps,
            at: performance.now(),
        };
    };
    const before = await metrics();
    await sleep(5000);
    const after = await metrics();
    const seconds = (after.at - before.at) / 1000;
    const renderer = (after.process - before.process) / seconds * 100;
    const mainThread = (after.thread - before.thread) / seconds * 100;
    const sleeps = (after.sleeps - before.sleeps) / seconds;
    console.log(`attract loop over ${seconds.toFixed(1)} s: renderer CPU ${renderer.toFixed(2)}% ` +
        `of a core, main thread ${mainThread.toFixed(2)}%, ${sleeps.toFixed(1)} sleeps/s`);
    check(renderer < 5, `the renderer uses under 5% of a core in the attract loop ` +
        `(${renderer.toFixed(2)}%)`);
    check(sleeps >= 15 && sleeps <= 25,
        `the program sleeps between its 20 ticks a second (${sleeps.toFixed(1)} sleeps/s)`);

    // About Zorvak from the menu bar: a second box, closed after ten seconds.
    await clickImage(page, rect, intro.width, 120, 8);
    const opened = await page.waitFor(`document.querySelectorAll('.zw-window').length === 2`, 3000);
    const openedAt = Date.now();
    if (check(opened !== null, 'a click on the menu bar\'s About Zorvak opens a second box')) {
        check(await page.evaluate(`document.querySelector('.zw-over .zw-title').textContent`) ===
            'About Zorvak', 'the second box is titled About Zorvak');
        await sleep(200);
        const about = await canvasImage(page, OVER);
        check(about.width === reference.about.width && about.height === reference.about.height &&
            differences(about, reference.about).count === 0,
            'the About box shows the About window as on the headless backend: ' +
            (about.width === reference.about.width ? differences(about, reference.about).text :
                `${about.width} x ${about.height}`));
        check(await page.evaluate(`document.activeElement === document.querySelector('${OVER}')`),
            'the About box has the focus');
        check(await buttons('.zw-over') === '', 'the About box has no buttons, as its style says');
        const overRect = await rectOf(page, '.zw-over');
        const dx = overRect.x + overRect.width / 2 - (rect.x + rect.width / 2);
        const dy = overRect.y + overRect.height / 2 - (rect.y + rect.height / 2);
        check(Math.abs(dx) < 40 && Math.abs(dy) < 60,
            `the About box stands over the middle of the game (${dx.toFixed(0)}, ${dy.toFixed(0)})`);
        await screenshot(page, 'web-about.png');
        const closed = await page.waitFor(
            `document.querySelectorAll('.zw-window').length === 1`, 15000, 100);
        const openFor = (Date.now() - openedAt) / 1000;
        check(closed !== null && openFor > 9.5 && openFor < 11.5,
            `the About box closes itself after ten seconds (${openFor.toFixed(1)} s)`);
        check(await page.evaluate(`document.activeElement === document.querySelector('${MAIN}')`),
            'the focus goes back to the game');
    }

    // Alt+N starts a game; the status line is the title.
    await altLetter(page, 'n');
    const title = await page.waitFor(`document.title === '${STATUS_LINE}'`, 3000);
    check(title !== null, `Alt+N starts a game: the page title is "${STATUS_LINE}"`);
    await page.evaluate('_zweb_page_beep()');
    check(await page.evaluate('Module.beeps || 0') === 1, 'after a gesture the beep sounds');
    check(await page.evaluate(`document.querySelector('.zw-main .zw-title').textContent`) ===
        STATUS_LINE, 'the title bar above the canvas shows the status line');

    // Left steers the ship: its row is the 32 client rows from 80 above the
    // bottom.
    await sleep(300);
    const shipRow = (image) => meanX(image, image.height - 80, image.height - 48);
    const start = shipRow(await canvasImage(page, MAIN));
    await press(page, 'ArrowLeft', 'ArrowLeft', 37);
    await sleep(600);
    const left = shipRow(await canvasImage(page, MAIN));
    check(left < start - 10, `Left moves the ship left (x ${start.toFixed(0)}, then ${left.toFixed(0)})`);
    await press(page, ' ', 'Space', 32, 0, ' ');
    await press(page, 'ArrowDown', 'ArrowDown', 40);
    await sleep(200);
    await screenshot(page, 'web-game.png');
    check(await page.evaluate('window.scrollY === 0 && ' +
        'document.documentElement.scrollHeight > window.innerHeight'),
        'Space and Down do not scroll the page, though it could scroll');

    // A hidden page is a minimised program: the game freezes and the
    // favicon becomes the animated alien; shown again, it goes on.
    const favicon = `document.querySelector('link[rel~="icon"]').href`;
    const gameIcon = await page.evaluate(favicon);
    await setHidden(page, true);
    check(await page.waitFor(`!!document.querySelector('.zw-main.zw-minimized')`, 2000) !== null,
        'a hidden page minimises the game');
    await sleep(300);
    const frozen = await canvasImage(page, MAIN);
    const icons = new Set();
    for (let i = 0; i < 10; ++i) {
        icons.add(await page.evaluate(favicon));
        await sleep(100);
    }
    icons.delete(gameIcon);
    check(icons.size >= 2, `while minimised the favicon is the animated alien (${icons.size} frames)`);
    const still = await canvasImage(page, MAIN);
    check(differences(still, frozen, (x, y) => x < 32 && y < 64).count === 0,
        'while minimised the game stands still');
    await setHidden(page, false);
    check(await page.waitFor(`!document.querySelector('.zw-main.zw-minimized')`, 2000) !== null,
        'shown again, the game is restored');
    check(await page.waitFor(`${favicon} === ${JSON.stringify(gameIcon)}`, 2000) !== null,
        'and the favicon is the program\'s icon again');
    const restored = await canvasImage(page, MAIN);
    await sleep(500);
    const moved = differences(await canvasImage(page, MAIN), restored).count;
    check(moved > 0 && (await page.evaluate('document.title')).startsWith('Lives: '),
        `the game goes on (${moved} pixels changed in half a second)`);

    // A smaller window: the largest whole scale that still fits.
    const cssWidth = `document.querySelector('${MAIN}').getBoundingClientRect().width`;
    await page.send('Emulation.setDeviceMetricsOverride',
        { width: 800, height: 600, deviceScaleFactor: 1, mobile: false });
    check(await page.waitFor(`${cssWidth} === ${intro.width}`, 2000) !== null,
        'in an 800 x 600 window the game is shown at 1x');
    await page.send('Emulation.clearDeviceMetricsOverride');
    check(await page.waitFor(`${cssWidth} === ${rect.width}`, 2000) !== null,
        'back in the large window, at the scale it had');

    // Quit Zorvak from the menu bar in menu mode (an Alt tap, then Q): the
    // program ends and says so.
    await press(page, 'Alt', 'AltLeft', 18, 1);
    await press(page, 'q', 'KeyQ', 81, 0, 'q');
    check(await page.waitFor(`document.documentElement.classList.contains('zw-ended')`, 3000) !==
        null && await page.evaluate('Module.exitCode') === 0 &&
        await page.evaluate(`document.querySelectorAll('.zw-window').length`) === 0,
        'an Alt tap, then Q, ends the program with exit code 0 and the page says so');

    check(problems.length === 0, 'no script errors, warnings or dialogs' +
        (problems.length ? `:\n  ${problems.join('\n  ')}` : ''));
}

const server = await serve(options.page);
const browser = await Browser.launch(options.chromium, { width: 1280, height: 1000 });
try {
    const page = await browser.attachToPage();
    const problems = [];
    browser.on((message) => {
        if (message.sessionId !== page.sessionId) return;
        const params = message.params;
        if (message.method === 'Runtime.exceptionThrown') {
            problems.push(`exception: ${params.exceptionDetails.exception?.description ||
                params.exceptionDetails.text}`);
        } else if (message.method === 'Runtime.consoleAPICalled' &&
            (params.type === 'error' || params.type === 'warning')) {
            problems.push(`console: ${params.args.map((a) => a.value ?? a.description).join(' ')}`);
        } else if (message.method === 'Page.javascriptDialogOpening') {
            problems.push(`dialog: ${params.message}`);
            page.send('Page.handleJavaScriptDialog', { accept: true }).catch(() => {});
        }
    });
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    await page.send('Performance.enable');
    await page.send('Page.navigate', { url: `http://127.0.0.1:${server.address().port}/` });
    await run(page, problems);
} catch (error) {
    check(false, `the session ran to its end: ${error.stack || error}`);
} finally {
    await browser.close();
    server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
