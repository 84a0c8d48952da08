// The page on a desktop, as a visitor with a keyboard and a mouse: it loads
// and paints the same pixels as the headless backend, shows them sharp at a
// whole-number scale, sleeps between ticks, opens and closes About from the
// menu bar, starts a game on Alt+N, steers on Left, pauses and draws
// nothing while the page is hidden and goes on at P, shows the animated
// alien while minimised, and ends on Quit.
import fs from 'node:fs';
import path from 'node:path';

import { check, differences, say, upscaled } from './check.mjs';
import { measureCpu } from './cpu_probe.mjs';
import { decodePng, pixel, readPpm } from './images.mjs';
import {
    altLetter, canvasImage, clickImage, openPage, press, rectOf, setHidden, shipX, sleep,
} from './page_driver.mjs';

const STATUS_LINE = 'Lives: 05 - Level 01 - Score: 00000';
const MAIN = '.zw-main .zw-screen';
const OVER = '.zw-over .zw-screen';

async function screenshot(page, out, file, clip) {
    const params = { format: 'png' };
    if (clip) params.clip = { ...clip, scale: 1 };
    const { data } = await page.send('Page.captureScreenshot', params);
    const png = Buffer.from(data, 'base64');
    if (file) fs.writeFileSync(path.join(out, file), png);
    return png;
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

const windowCount = `document.querySelectorAll('.zw-window').length`;
const focused = (selector) => `document.activeElement === document.querySelector('${selector}')`;
const titleButtons = (page, box) => page.evaluate(`[...document.querySelectorAll('${box} ` +
    `.zw-titlebar button')].map((b) => b.title).join(' ')`);

// The desktop's session: a 1280 x 1000 window at one device pixel per CSS
// pixel, keyboard and mouse.  Each step takes and adds to the session's
// state `s`; false from a step ends the session.
export async function desktopSession(browser, url, { reference, out }) {
    const s = {
        problems: [],
        out,
        reference: {
            main: readPpm(path.join(reference, 'main.ppm')),
            about: readPpm(path.join(reference, 'about.ppm')),
            ground: readPpm(path.join(reference, 'ground.ppm')),
        },
    };
    s.page = await openPage(browser, s.problems);
    s.browser = browser;
    await s.page.send('Page.navigate', { url });
    const steps = [firstPaint, introduction, sharpScale, idle, about, newGame, steer, hidden,
        minimizeButton, smallerWindow, quit];
    for (const step of steps) {
        if ((await step(s)) === false) break;
    }
    check(s.problems.length === 0, 'no script errors, warnings or dialogs' +
        (s.problems.length ? `:\n  ${s.problems.join('\n  ')}` : ''));
}

async function firstPaint({ page }) {
    const paint = await page.waitFor('window.Module && Module.firstPaintMs', 30000);
    if (!check(paint !== null, 'the page paints the game')) return false;
    say(`first paint: ${paint.toFixed(0)} ms after the navigation started`);
    check(await page.evaluate('document.title') === 'ZORVAK', 'the page title is ZORVAK');
    check(await page.evaluate(`document.querySelector('.zw-main .zw-title').textContent`) ===
        'ZORVAK', 'the title bar above the canvas says ZORVAK');
    check(await page.evaluate(focused(MAIN)), 'the game has the keyboard focus');
    check(await titleButtons(page, '.zw-main') === 'Minimize Close',
        'the title bar has the buttons of the window\'s style: Minimize and Close');
    // No sound before the visitor's first gesture (browsers allow it only then).
    await page.evaluate('_zweb_page_beep()');
    check(await page.evaluate('Module.beeps || 0') === 0, 'the beep is silent before a gesture');
    return true;
}

// The introduction, pixel for pixel as the headless backend draws it.
async function introduction(s) {
    await sleep(500);
    s.intro = await canvasImage(s.page, MAIN);
    const ref = s.reference.main;
    if (!check(s.intro.width === ref.width && s.intro.height === ref.height,
        `the canvas is ${ref.width} x ${ref.height} (${s.intro.width} x ${s.intro.height})`)) {
        return false;
    }
    const diff = differences(s.intro, ref, (x, y) => y >= ref.height - 32);
    check(diff.count === 0, `menu bar, walls and introduction as on the headless backend: ` +
        diff.text);
    const bad = groundCellsNotTiles(s.intro, ref, s.reference.ground);
    check(bad.length === 0, `every ground cell shows a ground tile` +
        (bad.length ? ` (not at x ${bad.join(', ')})` : ''));
    return true;
}

// Shown at a whole-number scale, every image pixel a sharp square.
async function sharpScale(s) {
    const { page, intro } = s;
    s.rect = await rectOf(page, MAIN);
    const scale = s.rect.width / intro.width;
    check(Number.isInteger(scale) && scale >= 2 && s.rect.height === intro.height * scale,
        `the canvas is shown at a whole-number scale (${s.rect.width} x ${s.rect.height} CSS px)`);
    const shot = decodePng(await screenshot(page, s.out, 'intro-canvas.png', s.rect));
    const sharp = shot.width === intro.width * scale ? differences(shot, upscaled(intro, scale))
        : { count: -1, text: `${shot.width} pixels wide` };
    check(sharp.count === 0,
        `the screen shows each canvas pixel as a sharp ${scale} x ${scale} square: ${sharp.text}`);
    await screenshot(page, s.out, 'web-intro.png');
}

// Idle between ticks: five seconds of the attract loop, in CPU time of the
// page's renderer and GPU processes together (scripts/web bench measures
// longer).
async function idle({ page, browser }) {
    // The service worker's first visit (it fetches and keeps the page's
    // files) is over first.
    await page.waitFor('navigator.serviceWorker.getRegistration().then((r) => ' +
        `r && r.active && r.active.state === 'activated')`, 10000, 100);
    await sleep(500);
    const sleeps = await page.evaluate('Module.sleeps');
    const cpu = await measureCpu(browser, 5);
    const slept = (await page.evaluate('Module.sleeps') - sleeps) / cpu.seconds;
    say(`attract loop over ${cpu.seconds.toFixed(1)} s: ${cpu.percent.toFixed(2)}% of a core ` +
        `(renderer ${cpu.renderer.toFixed(2)}, GPU ${cpu.gpu.toFixed(2)}), ` +
        `${slept.toFixed(1)} sleeps/s`);
    check(cpu.percent < 5, `the renderer and GPU use under 5% of a core in the attract loop ` +
        `(${cpu.percent.toFixed(2)}%)`);
    check(slept >= 15 && slept <= 25,
        `the program sleeps between its 20 ticks a second (${slept.toFixed(1)} sleeps/s)`);
}

// About Zorvak from the menu bar: a second box, closed after ten seconds.
async function about({ page, intro, rect, reference, out }) {
    await clickImage(page, rect, intro.width, 120, 8);
    const opened = await page.waitFor(`${windowCount} === 2`, 3000);
    const openedAt = Date.now();
    if (!check(opened !== null, 'a click on the menu bar\'s About Zorvak opens a second box')) return;
    check(await page.evaluate(`document.querySelector('.zw-over .zw-title').textContent`) ===
        'About Zorvak', 'the second box is titled About Zorvak');
    await sleep(200);
    const shown = await canvasImage(page, OVER);
    const same = shown.width === reference.about.width && shown.height === reference.about.height;
    const diff = same ? differences(shown, reference.about)
        : { count: -1, text: `${shown.width} x ${shown.height}` };
    check(diff.count === 0, `the About box shows the About window as on the headless backend: ` +
        diff.text);
    check(await page.evaluate(focused(OVER)), 'the About box has the focus');
    check(await titleButtons(page, '.zw-over') === '',
        'the About box has no buttons, as its style says');
    const overRect = await rectOf(page, '.zw-over');
    const dx = overRect.x + overRect.width / 2 - (rect.x + rect.width / 2);
    const dy = overRect.y + overRect.height / 2 - (rect.y + rect.height / 2);
    check(Math.abs(dx) < 40 && Math.abs(dy) < 60,
        `the About box stands over the middle of the game (${dx.toFixed(0)}, ${dy.toFixed(0)})`);
    await screenshot(page, out, 'web-about.png');
    const closed = await page.waitFor(`${windowCount} === 1`, 15000, 100);
    const openFor = (Date.now() - openedAt) / 1000;
    check(closed !== null && openFor > 9.5 && openFor < 11.5,
        `the About box closes itself after ten seconds (${openFor.toFixed(1)} s)`);
    check(await page.evaluate(focused(MAIN)), 'the focus goes back to the game');
}

// Alt+N starts a game; the status line is the title.
async function newGame({ page }) {
    await altLetter(page, 'n');
    const title = await page.waitFor(`document.title === '${STATUS_LINE}'`, 3000);
    check(title !== null, `Alt+N starts a game: the page title is "${STATUS_LINE}"`);
    await page.evaluate('_zweb_page_beep()');
    check(await page.waitFor('Module.beeps === 1', 2000) !== null, 'after a gesture the beep sounds');
    check(await page.evaluate(`document.querySelector('.zw-main .zw-title').textContent`) ===
        STATUS_LINE, 'the title bar above the canvas shows the status line');
}

// Left steers the ship; each tick is drawn into the canvas as the few boxes
// that changed, not one box around all of them; the game's keys do not
// scroll the page.
async function steer({ page, out, intro }) {
    const drawn = await page.evaluate('[Module.presents, Module.presentedPixels]');
    await sleep(300);
    const start = shipX(await canvasImage(page, MAIN));
    await press(page, 'ArrowLeft', 'ArrowLeft', 37);
    await sleep(600);
    const left = shipX(await canvasImage(page, MAIN));
    check(left < start - 10, `Left moves the ship left (x ${start.toFixed(0)}, then ${left.toFixed(0)})`);
    const [presents, pixels] = (await page.evaluate('[Module.presents, Module.presentedPixels]'))
        .map((value, i) => value - drawn[i]);
    const share = pixels / presents / (intro.width * intro.height) * 100;
    check(presents >= 10 && share < 5, `a tick of a game is drawn as what changed: ${presents} ` +
        `frames in 0.9 s, ${share.toFixed(1)}% of the image each`);
    await press(page, ' ', 'Space', 32, 0, ' ');
    await press(page, 'ArrowDown', 'ArrowDown', 40);
    await sleep(200);
    await screenshot(page, out, 'web-game.png');
    check(await page.evaluate('window.scrollY === 0 && ' +
        'document.documentElement.scrollHeight > window.innerHeight'),
        'Space and Down do not scroll the page, though it could scroll');
}

const favicon = `document.querySelector('link[rel~="icon"]').href`;
const drawn = `[Module.presents, Module.icons || 0].join()`;

const notice = `document.querySelector('.zw-main .zw-notice').textContent`;
const ticks = '_zweb_ticks()';

// A hidden page pauses the game that runs: the game's ticks hold still and
// nothing is drawn or converted while no one can see it (not even the
// favicon); "Paused" shows beside the status line.  Shown again it stays
// paused until P, which goes on with one late tick and no burst (a tick
// more may follow at once on the timer's cadence; a burst would be the
// 20 a second missed).
async function hidden({ page }) {
    const gameIcon = await page.evaluate(favicon);
    await setHidden(page, true);
    check(await page.waitFor(`${notice} === 'Paused: P to go on'`, 2000) !== null,
        'a hidden page pauses the game, and says so beside the status line');
    await sleep(300);
    const frozen = await canvasImage(page, MAIN);
    const before = await page.evaluate(`[${drawn}, ${ticks}].join()`);
    await sleep(700);
    const after = await page.evaluate(`[${drawn}, ${ticks}].join()`);
    check(before === after && await page.evaluate(favicon) === gameIcon,
        `while hidden nothing is drawn, not even the favicon, and the game's ticks hold ` +
        `(presents, icons and ticks ${before}, then ${after})`);
    await setHidden(page, false);
    const held = await page.evaluate(ticks);
    await sleep(500);
    const still = await canvasImage(page, MAIN);
    check(differences(still, frozen).count === 0 && await page.evaluate(ticks) === held,
        'shown again, the game stays paused: the same picture, the same tick');
    await press(page, 'p', 'KeyP', 80, 0, 'p');
    const resumed = await page.waitFor(`${ticks} > ${held}`, 2000, 5);
    const first = await page.evaluate(ticks) - held;
    await sleep(1000);
    const second = await page.evaluate(ticks) - held;
    check(resumed !== null && first <= 2 && second >= 18 && second <= 24,
        `P goes on: one late tick at once, then 20 a second with no burst (${first}, then ` +
        `${second} after a second)`);
    check(await page.evaluate(notice) === '' &&
        (await page.evaluate('document.title')).startsWith('Lives: '), 'and the notice is gone');
    const restored = await canvasImage(page, MAIN);
    await sleep(500);
    const moved = differences(await canvasImage(page, MAIN), restored).count;
    check(moved > 0, `the game goes on (${moved} pixels changed in half a second)`);
}

// The title bar's Minimize: the box shows the animated alien, which is the
// favicon too; a click on it restores the game.
async function minimizeButton({ page }) {
    const gameIcon = await page.evaluate(favicon);
    await page.evaluate(`document.querySelector('.zw-main .zw-minimize').click()`);
    check(await page.waitFor(`!!document.querySelector('.zw-main.zw-minimized')`, 2000) !== null,
        'the title bar\'s Minimize minimises the game');
    const icons = new Set();
    for (let i = 0; i < 10; ++i) {
        icons.add(await page.evaluate(favicon));
        await sleep(100);
    }
    icons.delete(gameIcon);
    check(icons.size >= 2, `while minimised the favicon is the animated alien (${icons.size} frames)`);
    await page.evaluate(`document.querySelector('.zw-main .zw-tray').click()`);
    check(await page.waitFor(`!document.querySelector('.zw-main.zw-minimized')`, 2000) !== null,
        'a click on it restores the game');
    check(await page.waitFor(`${favicon} === ${JSON.stringify(gameIcon)}`, 2000) !== null,
        'and the favicon is the program\'s icon again');
}

// A smaller window: the largest whole scale that still fits.
async function smallerWindow({ page, intro, rect }) {
    const cssWidth = `document.querySelector('${MAIN}').getBoundingClientRect().width`;
    await page.send('Emulation.setDeviceMetricsOverride',
        { width: 800, height: 600, deviceScaleFactor: 1, mobile: false });
    check(await page.waitFor(`${cssWidth} === ${intro.width}`, 2000) !== null,
        'in an 800 x 600 window the game is shown at 1x');
    await page.send('Emulation.clearDeviceMetricsOverride');
    check(await page.waitFor(`${cssWidth} === ${rect.width}`, 2000) !== null,
        'back in the large window, at the scale it had');
}

// Quit Zorvak from the menu bar in menu mode (an Alt tap, then Q): the
// program ends and says so.
async function quit({ page }) {
    await press(page, 'Alt', 'AltLeft', 18, 1);
    await press(page, 'q', 'KeyQ', 81, 0, 'q');
    check(await page.waitFor(`document.documentElement.classList.contains('zw-ended')`, 3000) !==
        null && await page.evaluate('Module.exitCode') === 0 &&
        await page.evaluate(windowCount) === 0,
        'an Alt tap, then Q, ends the program with exit code 0 and the page says so');
}
